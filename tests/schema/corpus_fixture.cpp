#include "corpus_fixture.h"

#include "clock.h"
#include "schema.h"

namespace fx::schema::test {

const QString Corpus::kPassword = QStringLiteral("Qsl30CharPasswordFromTheKeyFil");

QString assetQuery() {
    return QStringLiteral(
        "select (YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq) AS ynum,"
        "(sbjl.id+TRIM(STR(sbjl.num))) AS bh,sbjl.*,syq.yue,sortproc.cz from sbjl,syq,sortproc "
        "where sbjl.bxq=syq.qx and sbjl.zclb=sortproc.sort");
}

void Corpus::SetUp() {
    EngineTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_TRUE(dir_.isValid());
    Clock::set(QDateTime(QDate(2024, 6, 15), QTime(10, 30, 0)));
    if (onServer()) {
        space_ = std::make_unique<fx::test::ServerSpace>();
        createServerDatabases(space_->conninfo(), space_->prefix());
        current_ = db::Connection::openServer(space_->conninfo(),
                                              space_->schema(QLatin1String(kServerCurrentSchema)));
        history_ = db::Connection::openServer(space_->conninfo(),
                                              space_->schema(QLatin1String(kServerHistorySchema)));
    } else {
        createDatabases(dir_.path(), kPassword);
        current_ =
            db::Connection::open(dir_.filePath(QString::fromLatin1(kCurrentFile)), kPassword);
        history_ = db::Connection::open(dir_.filePath(QString::fromLatin1(kHistoryFile)),
                                        QString::fromLatin1(kHistoryPassword));
    }
    current_->executeNative(QStringLiteral(
        "INSERT INTO sortproc (sort, title, cz) VALUES ('电脑', 'JSJ', 5), ('家具', 'JJ', 0),"
        " ('仪器', 'YQ', 100);"
        "INSERT INTO sortb (name, sort, bht, wzorgr) VALUES ('台式电脑', '电脑', 'JSJ', 0),"
        " ('笔记本电脑', '电脑', 'JSJ', 0), ('办公桌', '家具', 'BGZ', 1), ('示波器', '仪器', "
        "'SBQ', 1);"
        "INSERT INTO xhpz (sbmc, sbxh, sbpz) VALUES ('台式电脑', '联想M8000', 'i5/8G/1T硬盘'),"
        " ('台式电脑', '戴尔3080', 'i3/4G'), ('办公桌', '1.6米', '');"
        "INSERT INTO ytb (sort, yt) VALUES ('电脑', '办公'), ('电脑', '教学'), ('家具', '办公');"
        "INSERT INTO wzb (wz, isbm) VALUES ('财务处', 1), ('教务处', 1), ('301室', 0);"
        "INSERT INTO person (pname, bm) VALUES ('张三', '财务处'), ('李四', '教务处'),"
        " ('王五', '');"
        "INSERT INTO syq (qx, yue) VALUES ('5年', 60), ('10年', 120), ('1年', 12);"
        "INSERT INTO lyfs (ly) VALUES ('购置'), ('调拨'), ('捐赠');"
        "INSERT INTO idupper (idup, max) VALUES ('JSJ-', 12345), ('BGZ-', 3), ('SBQ-', 1);"
        "INSERT INTO sbjl (id, num, zclb, sbmc, sbxh, sbpz, yt, worp, wz, bgr, ly, bxq, gmrq, pzrq,"
        " gmjg, other, ybf, yjc, wx) VALUES"
        " ('JSJ-', 12, '电脑', '台式电脑', '联想M8000', 'i5/8G/1T硬盘', '办公', 0, '张三', '张三',"
        "  '购置', '5年', '2023-05-10', '2023-05-10', 1000, '', 0, 1, 1),"
        " ('JSJ-', 3, '电脑', '笔记本电脑', '', '', '教学', 0, '李四', '', '调拨', '1年',"
        "  '2020-01-20', '2021-03-01', 5000, '屏幕有划痕', 0, 1, 0),"
        " ('BGZ-', 3, '家具', '办公桌', '1.6米', '', '办公', 1, '财务处', '张三', '购置', '10年',"
        "  '2024-06-01', '2024-06-01', 800, ' ', 0, 0, 0),"
        " ('BGZ-', 1, '家具', '办公桌', '', '', '办公', 1, '301室', '', '购置', '10年',"
        "  '2010-02-01', '2010-02-01', 500, NULL, 1, 0, 1),"
        " ('SBQ-', 1, '仪器', '示波器', '', '', '', 1, '教务处', '李四', '捐赠', '无',"
        "  '2024-01-01', '2024-01-01', 20000, '', 0, 0, 0),"
        " ('JSJ-', 12345, '电脑', '台式电脑', '戴尔3080', 'i3/4G', '办公', 0, '王五', '王五',"
        "  '购置', '5年', '2024-06-15', '2024-06-15', 0.29, 'O''Brien''s 备注', 0, 0, 1),"
        " ('JSJ-', 7, '电脑', '台式电脑', '', '', '', 0, '赵六', '', '购置', '5年',"
        "  '2022-12-31', '2022-12-31', 3000, '   ', 0, 0, 0);"
        "INSERT INTO jcb (id, jcr, pzr, jyr, jydw, jcrq, ghrq, other) VALUES"
        " (1, '张三', '系统管理员', '陈七', '图书馆', '2024-06-01', '2024-06-10', ''),"
        " (2, '李四', '系统管理员', '陈七', '实验室', '2024-06-05', NULL, ''),"
        " (3, '张三', '管理员', '刘八', '会议室', '2024-05-20', '2024-07-01', '');"
        "INSERT INTO wxjlb (id, sxrq, wxrq, sxdd, ghpj, gzyy, wxfy, wxzk, sxr) VALUES"
        " (1, '2024-03-01', '2024-03-05', '维修站', '硬盘', '老化', 350, '修好', '张三'),"
        " (1, '2023-11-01', '2023-11-02', '维修站', '电源', '烧坏', 120, '修好', '张三'),"
        " (6, '2024-06-10', '2024-06-12', '厂家', '', '屏幕', 0, '保修', '王五'),"
        " (4, '2015-01-01', '2015-01-02', '维修站', '', '', 50, '修好', '');"));
    // The yes/no columns of the reserved loans agree with jcb: assets 1 and 2 are lent, 3 too.
    current_->executeNative(QStringLiteral("UPDATE sbjl SET yjc=1 WHERE ID1=3"));
    history_->executeNative(QStringLiteral(
        "INSERT INTO jyjlb (id, czy, jyr, jydw, jcr, jcrq, ghrq, other, trueghrq, bz) VALUES"
        " (1, '系统管理员', '陈七', '图书馆', '张三', '2024-01-01', '2024-01-10', '', '2024-01-09',"
        "  '归还'),"
        " (1, '系统管理员', '陈七', '图书馆', '张三', '2024-06-01', '2024-06-10', '', NULL, "
        "'借出'),"
        " (1, '系统管理员', '陈七', '图书馆', '张三', '2024-01-01', '2024-01-10', '', NULL, "
        "'借出'),"
        " (2, '系统管理员', '陈七', '实验室', '李四', '2024-06-05', NULL, '', NULL, '借出');"
        "INSERT INTO his (id, swz, sbgr, owz, obgr, date, czy) VALUES"
        " (1, '仓库', '', '李四', '', '2023-06-01', '系统管理员'),"
        " (1, '李四', '', '王五', '王五', '2023-01-01', '系统管理员'),"
        " (1, '王五', '王五', '张三', '张三', '2023-09-01', '系统管理员'),"
        " (3, '仓库', '', '财务处', '张三', '2024-06-01', '系统管理员');"));
}

void Corpus::TearDown() {
    rows_.reset();
    current_.reset();
    history_.reset();
    Clock::set(QDateTime());
}

db::RowSet& Corpus::open(db::Connection& c, const QString& jetSql) {
    rows_ = std::make_unique<db::RowSet>(c, jetSql);
    rows_->open();
    return *rows_;
}

QStringList Corpus::column(db::Connection& c, const QString& jetSql, const QString& field) {
    db::RowSet& rs = open(c, jetSql);
    QStringList out;
    for (rs.first(); !rs.eof(); rs.next()) out.append(rs.text(field));
    return out;
}

QList<int> Corpus::serials(const QString& jetSql) {
    db::RowSet& rs = open(jetSql);
    QList<int> out;
    for (rs.first(); !rs.eof(); rs.next()) out.append(rs.integer(QStringLiteral("ID1")));
    return out;
}

}  // namespace fx::schema::test
