#include "demoregister.h"

#include <QHash>
#include <algorithm>
#include <numeric>

#include "bulkinsert.h"
#include "connection.h"
#include "demodictionary.h"
#include "demorandom.h"
#include "schema.h"

namespace fx::admin {

namespace {

QString s(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Months in use as the asset query counts them: calendar months between purchase and today.
int monthsBetween(const QDate& from, const QDate& to) {
    return (to.year() - from.year()) * 12 + to.month() - from.month();
}

QDate randomDay(DemoRandom& rnd, const QDate& from, const QDate& to) {
    return from.addDays(rnd.range(0, from.daysTo(to)));
}

class Generator {
public:
    Generator(const QDate& today, quint64 seed) : d_(demoDictionary()), today_(today), rnd_(seed) {
        int total = 0;
        for (const DemoName& n : d_.names) {
            total += n.weight;
            cumulativeWeights_.push_back(total);
        }
        for (const DemoCategory& c : d_.categories) categories_.insert(c.sort, &c);
        for (const DemoName& n : d_.names) names_.insert(n.name, &n);
        for (const DemoLife& l : d_.lives) lives_.insert(l.qx, l.yue);
        for (const DemoPerson& p : d_.persons) byDepartment_[p.bm].push_back(&p);
        operators_ = {s(schema::kAdministrator), d_.users.front().user};
        loanRemarks_ = {QString(), QString(), s("用于年度检查"), s("外出调研使用"),
                        s("临时借用，用毕即还")};
    }

    DemoRegister run(int count) {
        std::vector<DemoAsset> assets;
        assets.reserve(size_t(count));
        for (int i = 0; i < count; ++i) assets.push_back(makeAsset());

        // Assets are entered in order of purchase, so serial numbers and running numbers grow
        // with the purchase date as in a register kept over the years.
        std::vector<int> order(assets.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return assets[a].gmrq < assets[b].gmrq; });
        QHash<QString, int> lastNumber;
        for (int idx : order) {
            DemoAsset& a = assets[size_t(idx)];
            a.num = ++lastNumber[a.prefix];
            reg_.assets.push_back(a);
        }
        for (int i = 0; i < int(reg_.assets.size()); ++i) addMovements(i);

        std::stable_sort(
            reg_.transfers.begin(), reg_.transfers.end(),
            [](const DemoTransfer& a, const DemoTransfer& b) { return a.date < b.date; });
        std::stable_sort(reg_.loans.begin(), reg_.loans.end(),
                         [](const DemoLoan& a, const DemoLoan& b) { return a.jcrq < b.jcrq; });
        std::stable_sort(reg_.repairs.begin(), reg_.repairs.end(),
                         [](const DemoRepair& a, const DemoRepair& b) { return a.sxrq < b.sxrq; });
        return std::move(reg_);
    }

private:
    const DemoName& pickName() {
        const qint64 r = rnd_.range(1, cumulativeWeights_.back());
        const auto it = std::lower_bound(cumulativeWeights_.begin(), cumulativeWeights_.end(), r);
        return d_.names[size_t(it - cumulativeWeights_.begin())];
    }

    const DemoPerson& pickPersonFor(const QString& place) {
        const auto it = byDepartment_.constFind(place);
        if (it != byDepartment_.constEnd() && rnd_.percent(80)) return *rnd_.pick(*it);
        return rnd_.pick(d_.persons);
    }

    // A place where assets of the name stand, other than the one given.
    QString pickPlace(const DemoName& n, const QString& other = QString()) {
        QString wz;
        do {
            wz = n.places.isEmpty() ? rnd_.pick(d_.places).wz : rnd_.pickFrom(n.places);
        } while (wz == other);
        return wz;
    }

    // Places an asset: at a location (with a custodian most of the time) or with a person, who
    // is then also its custodian.
    void place(DemoAsset& a, const DemoName& n) {
        if (a.worp) {
            a.wz = pickPlace(n);
            a.bgr = rnd_.percent(85) ? pickPersonFor(a.wz).pname : QString(QLatin1String(""));
        } else if (rnd_.percent(4)) {
            a.wz = s(schema::kUnassignedPerson);
            a.bgr = QLatin1String("");
        } else {
            a.wz = rnd_.pick(d_.persons).pname;
            a.bgr = a.wz;
        }
    }

    DemoAsset makeAsset() {
        const DemoName& n = pickName();
        const DemoCategory& c = *categories_.value(n.sort);
        const int life = lives_.value(n.life);
        DemoAsset a;
        a.prefix = n.bht + QLatin1Char('-');
        a.zclb = n.sort;
        a.sbmc = n.name;
        a.sbxh = QLatin1String("");
        a.sbpz = QLatin1String("");
        if (!n.models.empty() && rnd_.percent(90)) {
            const DemoModel& m = rnd_.pick(n.models);
            a.sbxh = m.sbxh;
            a.sbpz = m.sbpz;
        }
        a.yt = rnd_.percent(85) ? rnd_.pickFrom(c.uses) : QString(QLatin1String(""));
        a.worp = n.wzorgr;
        place(a, n);
        if (n.sort == s("房屋建筑") && rnd_.percent(50)) {
            a.ly = s("自建");
        } else {
            const qint64 r = rnd_.range(0, 99);
            a.ly = r < 80 ? s("购置") : r < 90 ? s("调入") : r < 95 ? s("捐赠") : s("其他");
        }
        a.bxq = n.life;
        // Ages reach somewhat past the service life so that some assets are fully depreciated.
        const int maxMonths = std::min(life * 13 / 10, 360);
        a.gmrq = today_.addDays(-rnd_.range(0, qint64(maxMonths) * 30));
        a.pzrq = a.gmrq;
        qint64 cents = rnd_.range(n.minPrice, n.maxPrice) * 100;
        if (rnd_.percent(30)) cents += rnd_.range(1, 99);
        a.gmjg = double(cents) / 100.0;
        a.other = rnd_.percent(8) ? rnd_.pickFrom(d_.remarks) : QString(QLatin1String(""));
        a.ybf = monthsBetween(a.gmrq, today_) > life && rnd_.percent(50);
        return a;
    }

    void addMovements(int index) {
        DemoAsset& a = reg_.assets[size_t(index)];
        const bool building = a.zclb == s("房屋建筑");
        if (!building && rnd_.percent(10)) addTransfers(index, a);
        if (!building && a.zclb != s("图书资料") && rnd_.percent(6)) addRepairs(index, a);
        if (!building) addLoans(index, a);
    }

    void addTransfers(int index, DemoAsset& a) {
        const DemoName& n = *names_.value(a.sbmc);
        if (a.worp && n.places.size() == 1) return;  // it has nowhere else to go
        const int count = rnd_.percent(30) ? 2 : 1;
        QDate from = a.gmrq.addDays(1);
        for (int k = 0; k < count && from <= today_; ++k) {
            DemoTransfer t;
            t.asset = index;
            t.date = randomDay(rnd_, from, from.addDays(from.daysTo(today_) / 2));
            t.swz = a.wz;
            t.sbgr = a.bgr;
            if (a.worp) {
                t.owz = pickPlace(n, a.wz);
                t.obgr = rnd_.percent(80) ? pickPersonFor(t.owz).pname : QString(QLatin1String(""));
            } else {
                do {
                    t.owz = rnd_.pick(d_.persons).pname;
                } while (t.owz == a.wz);
                t.obgr = t.owz;
            }
            t.czy = rnd_.pickFrom(operators_);
            a.wz = t.owz;
            a.bgr = t.obgr;
            a.pzrq = t.date;
            reg_.transfers.push_back(t);
            from = t.date.addDays(1);
        }
    }

    void addRepairs(int index, DemoAsset& a) {
        const int count = int(rnd_.range(1, 3));
        for (int k = 0; k < count; ++k) {
            DemoRepair r;
            r.asset = index;
            r.sxrq = randomDay(rnd_, a.gmrq, today_);
            r.wxrq = std::min(r.sxrq.addDays(rnd_.range(0, 10)), today_);
            r.sxdd = rnd_.pickFrom(d_.repairPlaces);
            r.ghpj = rnd_.pickFrom(d_.parts);
            r.gzyy = rnd_.pickFrom(d_.faults);
            r.wxfy = double(rnd_.range(30, 1800) * 100 + (rnd_.percent(40) ? 50 : 0)) / 100.0;
            const qint64 outcome = rnd_.range(0, 99);
            r.wxzk = outcome < 85 ? s("已修复") : outcome < 95 ? s("部分修复") : s("无法修复");
            r.sxr = a.worp ? rnd_.pick(d_.persons).pname
                           : (a.bgr.isEmpty() ? rnd_.pick(d_.persons).pname : a.bgr);
            reg_.repairs.push_back(r);
        }
        a.wx = true;
    }

    DemoLoan newLoan(int index, const DemoAsset& a, const QDate& jcrq) {
        DemoLoan l;
        l.asset = index;
        l.jcr = a.bgr.isEmpty() ? rnd_.pick(d_.persons).pname : a.bgr;
        l.pzr = rnd_.pickFrom(operators_);
        l.jyr = rnd_.pickFrom(d_.borrowers);
        l.jydw = rnd_.pickFrom(d_.borrowingPlaces);
        l.other = rnd_.pickFrom(loanRemarks_);
        if (l.other.isNull()) l.other = QLatin1String("");
        l.jcrq = jcrq;
        if (rnd_.percent(75)) l.ghrq = jcrq.addDays(rnd_.range(7, 90));
        l.lentBy = l.pzr;
        return l;
    }

    // Returned loans first (oldest first, never overlapping), then possibly one still open.
    void addLoans(int index, DemoAsset& a) {
        QDate cursor = std::max(a.gmrq, a.pzrq);
        if (rnd_.percent(5)) {
            const int cycles = rnd_.percent(30) ? 2 : 1;
            for (int k = 0; k < cycles && cursor < today_; ++k) {
                const QDate jcrq =
                    randomDay(rnd_, cursor, cursor.addDays(cursor.daysTo(today_) / 2));
                DemoLoan l = newLoan(index, a, jcrq);
                l.returned = std::min(jcrq.addDays(rnd_.range(1, 45)), today_);
                l.returnedBy = rnd_.pickFrom(operators_);
                reg_.loans.push_back(l);
                cursor = l.returned.addDays(1);
            }
        }
        if (!a.ybf && cursor <= today_ && rnd_.percent(4)) {
            const QDate jcrq = std::max(cursor, today_.addDays(-rnd_.range(0, 90)));
            reg_.loans.push_back(newLoan(index, a, jcrq));
            a.yjc = true;
        }
    }

    const DemoDictionary& d_;
    QDate today_;
    DemoRandom rnd_;
    std::vector<int> cumulativeWeights_;
    QHash<QString, const DemoCategory*> categories_;
    QHash<QString, const DemoName*> names_;
    QHash<QString, int> lives_;
    QHash<QString, std::vector<const DemoPerson*>> byDepartment_;
    std::vector<QString> operators_;
    std::vector<QString> loanRemarks_;
    DemoRegister reg_;
};

struct HistoryEvent {
    QDate date;
    const DemoLoan* loan;
    bool isReturn;
};

}  // namespace

DemoRegister generateDemoRegister(int assetCount, const QDate& today, quint64 seed) {
    return Generator(today, seed).run(std::max(assetCount, 0));
}

DemoCounts writeDemoRegister(const DemoRegister& reg, db::Connection& current,
                             db::Connection& history) {
    DemoCounts counts;
    db::Transaction currentTx(current);
    db::Transaction historyTx(history);

    std::vector<qint64> serial(reg.assets.size());
    {
        db::BulkInsert sbjl(current, QStringLiteral("sbjl"),
                            {QStringLiteral("id"), QStringLiteral("num"), QStringLiteral("zclb"),
                             QStringLiteral("sbmc"), QStringLiteral("sbxh"), QStringLiteral("sbpz"),
                             QStringLiteral("yt"), QStringLiteral("worp"), QStringLiteral("wz"),
                             QStringLiteral("bgr"), QStringLiteral("ly"), QStringLiteral("bxq"),
                             QStringLiteral("gmrq"), QStringLiteral("pzrq"), QStringLiteral("gmjg"),
                             QStringLiteral("other"), QStringLiteral("ybf"), QStringLiteral("yjc"),
                             QStringLiteral("wx")});
        QHash<QString, int> highest;
        for (size_t i = 0; i < reg.assets.size(); ++i) {
            const DemoAsset& a = reg.assets[i];
            serial[i] = sbjl.insert({a.prefix, a.num, a.zclb, a.sbmc, a.sbxh, a.sbpz, a.yt, a.worp,
                                     a.wz, a.bgr, a.ly, a.bxq, a.gmrq, a.pzrq, a.gmjg, a.other,
                                     a.ybf, a.yjc, a.wx});
            int& h = highest[a.prefix];
            h = std::max(h, a.num);
            counts.scrapped += a.ybf ? 1 : 0;
        }
        counts.assets = int(reg.assets.size());

        db::BulkInsert idupper(current, QStringLiteral("idupper"),
                               {QStringLiteral("idup"), QStringLiteral("max")});
        QStringList prefixes = highest.keys();
        prefixes.sort();
        for (const QString& p : prefixes) idupper.insert({p, highest.value(p)});
    }

    db::BulkInsert jcb(current, QStringLiteral("jcb"),
                       {QStringLiteral("id"), QStringLiteral("jcr"), QStringLiteral("pzr"),
                        QStringLiteral("jyr"), QStringLiteral("jydw"), QStringLiteral("jcrq"),
                        QStringLiteral("ghrq"), QStringLiteral("other")});
    std::vector<HistoryEvent> events;
    for (const DemoLoan& l : reg.loans) {
        events.push_back({l.jcrq, &l, false});
        if (l.returned.isValid()) {
            events.push_back({l.returned, &l, true});
            ++counts.returnedLoans;
        } else {
            jcb.insert(
                {serial[size_t(l.asset)], l.jcr, l.pzr, l.jyr, l.jydw, l.jcrq, l.ghrq, l.other});
            ++counts.openLoans;
        }
    }

    db::BulkInsert wxjlb(current, QStringLiteral("wxjlb"),
                         {QStringLiteral("id"), QStringLiteral("sxrq"), QStringLiteral("wxrq"),
                          QStringLiteral("sxdd"), QStringLiteral("ghpj"), QStringLiteral("gzyy"),
                          QStringLiteral("wxfy"), QStringLiteral("wxzk"), QStringLiteral("sxr")});
    for (const DemoRepair& r : reg.repairs) {
        wxjlb.insert({serial[size_t(r.asset)], r.sxrq, r.wxrq, r.sxdd, r.ghpj, r.gzyy, r.wxfy,
                      r.wxzk, r.sxr});
    }
    counts.repairs = int(reg.repairs.size());

    // The loan history is appended event by event as the program does, so a return follows
    // its lending.
    std::stable_sort(events.begin(), events.end(),
                     [](const HistoryEvent& a, const HistoryEvent& b) { return a.date < b.date; });
    db::BulkInsert jyjlb(
        history, QStringLiteral("jyjlb"),
        {QStringLiteral("id"), QStringLiteral("czy"), QStringLiteral("jyr"), QStringLiteral("jydw"),
         QStringLiteral("jcr"), QStringLiteral("jcrq"), QStringLiteral("ghrq"),
         QStringLiteral("other"), QStringLiteral("trueghrq"), QStringLiteral("bz")});
    const QString lent = QString::fromUtf8("借出");
    const QString returned = QString::fromUtf8("归还");
    for (const HistoryEvent& e : events) {
        const DemoLoan& l = *e.loan;
        jyjlb.insert({serial[size_t(l.asset)], e.isReturn ? l.returnedBy : l.lentBy, l.jyr, l.jydw,
                      l.jcr, l.jcrq, l.ghrq, l.other, e.isReturn ? l.returned : QDate(),
                      e.isReturn ? returned : lent});
    }

    db::BulkInsert his(
        history, QStringLiteral("his"),
        {QStringLiteral("id"), QStringLiteral("swz"), QStringLiteral("sbgr"), QStringLiteral("owz"),
         QStringLiteral("obgr"), QStringLiteral("date"), QStringLiteral("czy")});
    for (const DemoTransfer& t : reg.transfers) {
        his.insert({serial[size_t(t.asset)], t.swz, t.sbgr, t.owz, t.obgr, t.date, t.czy});
    }
    counts.transfers = int(reg.transfers.size());

    // Both databases are fully written before either commits, so an error anywhere above
    // leaves neither with part of the register.
    currentTx.commit();
    historyTx.commit();
    return counts;
}

}  // namespace fx::admin
