#include "demodictionary.h"

#include "bulkinsert.h"
#include "connection.h"

namespace fx::admin {

namespace {

QString s(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QStringList list(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* i : items) out << s(i);
    return out;
}

DemoDictionary build() {
    DemoDictionary d;
    d.lives = {{s("2年"), 24},   {s("3年"), 36},  {s("4年"), 48},   {s("5年"), 60},
               {s("6年"), 72},   {s("8年"), 96},  {s("10年"), 120}, {s("15年"), 180},
               {s("20年"), 240}, {s("50年"), 600}};
    d.categories = {
        {s("计算机设备"), s("JSJ"), 5, list({"办公", "教学", "财务专用", "档案管理"})},
        {s("办公家具"), s("BGJ"), 5, list({"办公", "会议", "接待"})},
        {s("办公设备"), s("BGS"), 5, list({"办公", "会议", "宣传"})},
        {s("低值易耗品"), s("DZ"), 0, list({"办公", "后勤"})},
        {s("房屋建筑"), s("FW"), 100, list({"办公用房", "仓储", "业务用房"})},
        {s("运输工具"), s("YS"), 5, list({"公务用车", "后勤保障"})},
        {s("专用设备"), s("ZY"), 3, list({"宣传", "测绘", "安防"})},
        {s("图书资料"), s("TS"), 100, list({"资料室", "业务学习"})},
    };
    d.names = {
        {s("台式计算机"),
         s("计算机设备"),
         s("JSJ"),
         false,
         s("5年"),
         30,
         3800,
         7500,
         {{s("联想启天M430"), s("i5-9500/8G/256G固态/21.5寸显示器")},
          {s("戴尔OptiPlex 3080"), s("i5-10505/8G/1T/23.8寸显示器")},
          {s("华为MateStation S"), s("R5-4600G/16G/512G固态/23.8寸显示器")}}},
        {s("笔记本电脑"),
         s("计算机设备"),
         s("BJB"),
         false,
         s("5年"),
         10,
         4500,
         9800,
         {{s("ThinkPad E14"), s("i5-1135G7/16G/512G固态/14寸")},
          {s("华为MateBook 14"), s("i7-1165G7/16G/512G固态/14寸")}}},
        {s("服务器"),
         s("计算机设备"),
         s("FWQ"),
         true,
         s("6年"),
         2,
         18000,
         65000,
         {{s("浪潮NF5270M5"), s("2×至强银牌4210/64G/4×2T/双电源")},
          {s("华为2288H V5"), s("2×至强银牌4214/128G/6×2T/RAID卡")}},
         list({"三楼机房"})},
        {s("打印机"),
         s("计算机设备"),
         s("DYJ"),
         true,
         s("5年"),
         8,
         1200,
         4800,
         {{s("惠普LaserJet Pro M404dn"), s("A4黑白激光/自动双面/网络")},
          {s("佳能iC MF643Cdw"), s("A4彩色激光/打印复印扫描")}}},
        {s("交换机"),
         s("计算机设备"),
         s("JHJ"),
         true,
         s("6年"),
         2,
         2600,
         12000,
         {{s("华为S5735-L24T4S"), s("24口千兆/4个万兆光口")}},
         list({"三楼机房", "信息中心"})},
        {s("办公桌"),
         s("办公家具"),
         s("BGJ"),
         true,
         s("15年"),
         12,
         600,
         2400,
         {{s("1.4米"), s("钢木结构/带三抽柜")}, {s("1.6米"), s("实木贴皮/带侧柜")}}},
        {s("文件柜"),
         s("办公家具"),
         s("BGJ"),
         true,
         s("15年"),
         8,
         480,
         1600,
         {{s("五节柜"), s("钢制/上玻璃门")}, {s("更衣柜"), s("钢制/双门")}}},
        {s("办公椅"), s("办公家具"), s("BGJ"), false, s("8年"), 10, 280, 1200, {}},
        {s("会议桌"),
         s("办公家具"),
         s("HYZ"),
         true,
         s("15年"),
         2,
         3000,
         16000,
         {{s("4.8米"), s("实木/可坐16人")}},
         list({"一号楼会议室"})},
        {s("复印机"),
         s("办公设备"),
         s("FYJ"),
         true,
         s("6年"),
         3,
         9800,
         38000,
         {{s("理光MP 3055SP"), s("A3黑白/双面/输稿器")}}},
        {s("投影仪"),
         s("办公设备"),
         s("TYY"),
         true,
         s("5年"),
         3,
         3200,
         12000,
         {{s("爱普生CB-2247U"), s("4200流明/1920×1200")}},
         list({"一号楼会议室", "办公室", "业务一科"})},
        {s("空调"),
         s("办公设备"),
         s("KT"),
         true,
         s("8年"),
         8,
         2800,
         9800,
         {{s("格力KFR-35GW"), s("1.5匹/壁挂式/变频")}, {s("美的KFR-72LW"), s("3匹/立柜式/变频")}}},
        {s("传真机"), s("办公设备"), s("BGS"), true, s("5年"), 1, 900, 2200, {}},
        {s("计算器"), s("低值易耗品"), s("DZ"), false, s("3年"), 4, 45, 180, {}},
        {s("电话机"), s("低值易耗品"), s("DZ"), true, s("3年"), 5, 60, 320, {}},
        {s("移动硬盘"),
         s("低值易耗品"),
         s("DZ"),
         false,
         s("3年"),
         3,
         300,
         900,
         {{s("西部数据2T"), s("USB3.0/2.5寸")}}},
        {s("办公楼"),
         s("房屋建筑"),
         s("FW"),
         true,
         s("50年"),
         1,
         2800000,
         9600000,
         {},
         list({"办公室", "后勤保障科"})},
        {s("仓库"),
         s("房屋建筑"),
         s("FW"),
         true,
         s("50年"),
         1,
         380000,
         1200000,
         {},
         list({"后勤保障科", "二号仓库"})},
        {s("小型轿车"),
         s("运输工具"),
         s("YS"),
         false,
         s("8年"),
         1,
         150000,
         260000,
         {{s("大众帕萨特"), s("2.0T/自动挡/5座")}}},
        {s("面包车"),
         s("运输工具"),
         s("YS"),
         true,
         s("8年"),
         1,
         60000,
         110000,
         {{s("五菱宏光"), s("1.5L/手动挡/7座")}},
         list({"车库"})},
        {s("数码相机"),
         s("专用设备"),
         s("ZY"),
         false,
         s("5年"),
         2,
         3800,
         16000,
         {{s("佳能EOS 90D"), s("含18-135mm镜头/64G存储卡")}}},
        {s("摄像机"),
         s("专用设备"),
         s("ZY"),
         false,
         s("5年"),
         1,
         8000,
         26000,
         {{s("索尼FDR-AX700"), s("4K/含三脚架")}}},
        {s("全站仪"),
         s("专用设备"),
         s("ZY"),
         true,
         s("10年"),
         1,
         26000,
         68000,
         {{s("徕卡TS06"), s("测角精度2秒/含脚架棱镜")}},
         list({"业务一科", "业务二科", "二号仓库"})},
        {s("监控系统"),
         s("专用设备"),
         s("ZY"),
         true,
         s("10年"),
         1,
         18000,
         90000,
         {},
         list({"门卫室", "信息中心"})},
        {s("专业图书"),
         s("图书资料"),
         s("TS"),
         true,
         s("20年"),
         2,
         60,
         1800,
         {},
         list({"资料阅览室", "档案室"})},
    };
    d.places = {
        {s("办公室"), true},      {s("财务科"), true},        {s("人事科"), true},
        {s("信息中心"), true},    {s("后勤保障科"), true},    {s("业务一科"), true},
        {s("业务二科"), true},    {s("一号楼会议室"), false}, {s("三楼机房"), false},
        {s("二号仓库"), false},   {s("车库"), false},         {s("档案室"), false},
        {s("资料阅览室"), false}, {s("门卫室"), false},
    };
    d.persons = {
        {s("王建国"), s("办公室")},   {s("李秀英"), s("办公室")},   {s("张伟"), s("办公室")},
        {s("刘洋"), s("财务科")},     {s("陈静"), s("财务科")},     {s("杨帆"), s("人事科")},
        {s("赵敏"), s("人事科")},     {s("黄磊"), s("信息中心")},   {s("周杰"), s("信息中心")},
        {s("吴刚"), s("信息中心")},   {s("徐丽"), s("后勤保障科")}, {s("孙强"), s("后勤保障科")},
        {s("马超"), s("后勤保障科")}, {s("朱红"), s("业务一科")},   {s("胡斌"), s("业务一科")},
        {s("郭芳"), s("业务一科")},   {s("何平"), s("业务一科")},   {s("高翔"), s("业务二科")},
        {s("林琳"), s("业务二科")},   {s("罗明"), s("业务二科")},   {s("梁晨"), s("业务二科")},
        {s("宋涛"), s("办公室")},
    };
    d.sources = list({"购置", "调入", "捐赠", "自建", "其他"});
    d.users = {
        {s("资产管理员"), s(""), true, true, true, true, true, true, true, false},
        {s("财务查询"), s(""), false, false, false, false, false, false, false, false},
    };
    d.borrowers = list({"王建国", "朱红", "高翔", "市统计局张科长", "县分局李明", "培训中心刘老师",
                        "黄磊", "档案馆陈主任"});
    d.borrowingPlaces =
        list({"业务一科", "业务二科", "市统计局", "县分局", "培训中心", "市档案馆", "展览馆"});
    d.repairPlaces = list({"联想授权服务站", "市电子维修中心", "惠普特约维修站", "本单位信息中心",
                           "格力售后服务部", "汽车修理厂"});
    d.faults = list({"无法开机", "硬盘损坏", "卡纸", "屏幕花屏", "噪音过大", "不制冷", "电源故障",
                     "系统崩溃", "日常保养"});
    d.parts = list({"", "硬盘", "电源", "内存条", "定影组件", "压缩机电容", "主板", "轮胎"});
    d.remarks = list({"含三年上门保修", "随机附带说明书及保修卡", "原值含安装调试费",
                      "上级调拨，原值按评估价", "发票号见财务凭证\n保修期内"});
    return d;
}

}  // namespace

const DemoDictionary& demoDictionary() {
    static const DemoDictionary dictionary = build();
    return dictionary;
}

void writeDemoDictionary(db::Connection& current) {
    const DemoDictionary& d = demoDictionary();

    db::BulkInsert sortproc(
        current, QStringLiteral("sortproc"),
        {QStringLiteral("sort"), QStringLiteral("title"), QStringLiteral("cz")});
    db::BulkInsert ytb(current, QStringLiteral("ytb"),
                       {QStringLiteral("sort"), QStringLiteral("yt")});
    for (const DemoCategory& c : d.categories) {
        sortproc.insert({c.sort, c.title, c.cz});
        for (const QString& use : c.uses) ytb.insert({c.sort, use});
    }

    db::BulkInsert sortb(current, QStringLiteral("sortb"),
                         {QStringLiteral("name"), QStringLiteral("sort"), QStringLiteral("bht"),
                          QStringLiteral("wzorgr")});
    db::BulkInsert xhpz(current, QStringLiteral("xhpz"),
                        {QStringLiteral("sbmc"), QStringLiteral("sbxh"), QStringLiteral("sbpz")});
    for (const DemoName& n : d.names) {
        sortb.insert({n.name, n.sort, n.bht, n.wzorgr});
        for (const DemoModel& m : n.models) xhpz.insert({n.name, m.sbxh, m.sbpz});
    }

    db::BulkInsert syq(current, QStringLiteral("syq"),
                       {QStringLiteral("qx"), QStringLiteral("yue")});
    for (const DemoLife& l : d.lives) syq.insert({l.qx, l.yue});

    db::BulkInsert wzb(current, QStringLiteral("wzb"),
                       {QStringLiteral("wz"), QStringLiteral("isbm")});
    for (const DemoPlace& p : d.places) wzb.insert({p.wz, p.isbm});

    db::BulkInsert person(current, QStringLiteral("person"),
                          {QStringLiteral("pname"), QStringLiteral("bm")});
    for (const DemoPerson& p : d.persons) person.insert({p.pname, p.bm});

    db::BulkInsert lyfs(current, QStringLiteral("lyfs"), {QStringLiteral("ly")});
    for (const QString& source : d.sources) lyfs.insert({source});

    db::BulkInsert users(current, QStringLiteral("users"),
                         {QStringLiteral("user"), QStringLiteral("password"), QStringLiteral("ins"),
                          QStringLiteral("modi"), QStringLiteral("del"), QStringLiteral("view"),
                          QStringLiteral("jc"), QStringLiteral("gh"), QStringLiteral("db"),
                          QStringLiteral("spmodi")});
    for (const DemoUser& u : d.users) {
        users.insert(
            {u.user, u.password, u.ins, u.modi, u.del, u.view, u.jc, u.gh, u.db, u.spmodi});
    }
}

}  // namespace fx::admin
