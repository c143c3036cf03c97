#include "jettranslator.h"

#include <sqlite3.h>

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTime>
#include <memory>
#include <vector>

#include "dberror.h"

namespace fx::db {

namespace {

// ---------------------------------------------------------------------------------------------
// Tokens

enum class Kind {
    Space,
    Word,    // identifier or keyword, unquoted
    Name,    // quoted identifier (output form "name")
    String,  // string literal (output form 'text')
    Number,
    Date,  // date literal, already turned into a string literal
    Op,    // operator
    LParen,
    RParen,
    Comma,
    Dot,
    Semicolon,
    Synth,  // an operand put together by the translation (replaces several tokens)
    Other,
};

struct Token {
    Kind kind = Kind::Other;
    QString text;   // output text; rewritten in place
    QString lower;  // lower-case identifier for Word and Name tokens
    qsizetype pos = 0;
    QString prefix;  // text written before the token (opening parentheses)
    QString suffix;  // text written after it (closing parentheses)
    bool removed = false;
};

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_') || c.unicode() > 127;
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') ||
           c.unicode() > 127;
}

QString doubleQuoted(const QString& name) {
    QString s = name;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// Scans a quoted run starting at i (the opening quote q); a doubled quote stands for one.
// Returns the end offset (after the closing quote, or the end of the text when unterminated)
// and the content.
qsizetype scanQuoted(const QString& s, qsizetype i, QChar q, QString* content) {
    qsizetype j = i + 1;
    while (j < s.size()) {
        if (s[j] == q) {
            if (j + 1 < s.size() && s[j + 1] == q) {
                content->append(q);
                j += 2;
                continue;
            }
            return j + 1;
        }
        content->append(s[j]);
        ++j;
    }
    return j;
}

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> out;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        Token t;
        t.pos = i;
        const QChar c = s[i];
        qsizetype j = i + 1;
        if (c.isSpace()) {
            while (j < n && s[j].isSpace()) ++j;
            t.kind = Kind::Space;
        } else if (c == QLatin1Char('\'')) {
            QString content;
            j = scanQuoted(s, i, c, &content);
            t.kind = Kind::String;
        } else if (c == QLatin1Char('"')) {
            // Jet reads a double-quoted text as a string literal.
            QString content;
            j = scanQuoted(s, i, c, &content);
            t.kind = Kind::String;
            t.text = QLatin1Char('\'') +
                     QString(content).replace(QLatin1Char('\''), QStringLiteral("''")) +
                     QLatin1Char('\'');
        } else if (c == QLatin1Char('[')) {
            while (j < n && s[j] != QLatin1Char(']')) ++j;
            const QString name = s.mid(i + 1, j - i - 1);
            if (j < n) ++j;
            t.kind = Kind::Name;
            t.text = doubleQuoted(name);
            t.lower = name.toLower();
        } else if (c == QLatin1Char('#')) {
            while (j < n && s[j] != QLatin1Char('#')) ++j;
            if (j < n) {
                ++j;
                t.kind = Kind::Date;
            } else {
                j = i + 1;
                t.kind = Kind::Other;
            }
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
            while (j < n && s[j].isDigit()) ++j;
            if (j < n && s[j] == QLatin1Char('.') && c != QLatin1Char('.')) {
                ++j;
                while (j < n && s[j].isDigit()) ++j;
            }
            if (j < n && (s[j] == QLatin1Char('e') || s[j] == QLatin1Char('E'))) {
                qsizetype k = j + 1;
                if (k < n && (s[k] == QLatin1Char('+') || s[k] == QLatin1Char('-'))) ++k;
                if (k < n && s[k].isDigit()) {
                    while (k < n && s[k].isDigit()) ++k;
                    j = k;
                }
            }
            t.kind = Kind::Number;
        } else if (isWordStart(c)) {
            while (j < n && isWordChar(s[j])) ++j;
            t.kind = Kind::Word;
        } else if (c == QLatin1Char('(')) {
            t.kind = Kind::LParen;
        } else if (c == QLatin1Char(')')) {
            t.kind = Kind::RParen;
        } else if (c == QLatin1Char(',')) {
            t.kind = Kind::Comma;
        } else if (c == QLatin1Char('.')) {
            t.kind = Kind::Dot;
        } else if (c == QLatin1Char(';')) {
            t.kind = Kind::Semicolon;
        } else {
            static const QStringList twoChar = {QStringLiteral("<="), QStringLiteral(">="),
                                                QStringLiteral("<>"), QStringLiteral("!="),
                                                QStringLiteral("||"), QStringLiteral("==")};
            if (i + 1 < n && twoChar.contains(s.mid(i, 2))) j = i + 2;
            static const QString singles = QStringLiteral("+-*/=<>&%\\^|");
            t.kind = singles.contains(c) ? Kind::Op : Kind::Other;
        }
        if (t.text.isEmpty()) t.text = s.mid(i, j - i);
        if (t.kind == Kind::Word) t.lower = t.text.toLower();
        out.push_back(std::move(t));
        i = j;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Word classes

// Keywords that end an operand run: an arithmetic expression never spans them.
const QSet<QString>& boundaryKeywords() {
    static const QSet<QString> k = {
        QStringLiteral("select"),  QStringLiteral("distinct"), QStringLiteral("distinctrow"),
        QStringLiteral("from"),    QStringLiteral("where"),    QStringLiteral("and"),
        QStringLiteral("or"),      QStringLiteral("not"),      QStringLiteral("xor"),
        QStringLiteral("as"),      QStringLiteral("on"),       QStringLiteral("like"),
        QStringLiteral("between"), QStringLiteral("in"),       QStringLiteral("is"),
        QStringLiteral("group"),   QStringLiteral("by"),       QStringLiteral("order"),
        QStringLiteral("having"),  QStringLiteral("union"),    QStringLiteral("all"),
        QStringLiteral("asc"),     QStringLiteral("desc"),     QStringLiteral("set"),
        QStringLiteral("values"),  QStringLiteral("into"),     QStringLiteral("update"),
        QStringLiteral("delete"),  QStringLiteral("insert"),   QStringLiteral("join"),
        QStringLiteral("inner"),   QStringLiteral("left"),     QStringLiteral("right"),
        QStringLiteral("outer"),   QStringLiteral("escape"),   QStringLiteral("case"),
        QStringLiteral("when"),    QStringLiteral("then"),     QStringLiteral("else"),
        QStringLiteral("end"),     QStringLiteral("exists"),   QStringLiteral("top"),
        QStringLiteral("null"),
    };
    return k;
}

// Column names that the engine reserves as keywords and that Jet statements of the program use
// as plain names; they are written as quoted identifiers.
const QSet<QString>& reservedNames() {
    static const QSet<QString> k = {
        QStringLiteral("index"),         QStringLiteral("table"),      QStringLiteral("to"),
        QStringLiteral("transaction"),   QStringLiteral("primary"),    QStringLiteral("unique"),
        QStringLiteral("check"),         QStringLiteral("constraint"), QStringLiteral("references"),
        QStringLiteral("foreign"),       QStringLiteral("add"),        QStringLiteral("alter"),
        QStringLiteral("autoincrement"), QStringLiteral("collate"),    QStringLiteral("commit"),
        QStringLiteral("create"),        QStringLiteral("deferrable"), QStringLiteral("drop"),
        QStringLiteral("limit"),         QStringLiteral("notnull"),    QStringLiteral("using"),
    };
    return k;
}

// Names the server reserves that the program's tables use as columns.
const QSet<QString>& serverReservedNames() {
    static const QSet<QString> k = {QStringLiteral("user"), QStringLiteral("offset"),
                                    QStringLiteral("window"), QStringLiteral("current_date")};
    return k;
}

// The Jet functions the server schema creates under jet_ names.
const QSet<QString>& serverJetFunctions() {
    static const QSet<QString> k = {
        QStringLiteral("year"),  QStringLiteral("month"), QStringLiteral("day"),
        QStringLiteral("now"),   QStringLiteral("date"),  QStringLiteral("str"),
        QStringLiteral("right"), QStringLiteral("left"),  QStringLiteral("mid"),
        QStringLiteral("len"),   QStringLiteral("trim"),  QStringLiteral("ucase"),
        QStringLiteral("lcase"), QStringLiteral("iif"),   QStringLiteral("nz"),
    };
    return k;
}

// Jet functions whose result is text.
const QSet<QString>& textFunctions() {
    static const QSet<QString> k = {
        QStringLiteral("trim"),   QStringLiteral("ltrim"), QStringLiteral("rtrim"),
        QStringLiteral("str"),    QStringLiteral("right"), QStringLiteral("left"),
        QStringLiteral("mid"),    QStringLiteral("ucase"), QStringLiteral("lcase"),
        QStringLiteral("format"), QStringLiteral("chr"),   QStringLiteral("space"),
        QStringLiteral("string"), QStringLiteral("cstr"),  QStringLiteral("replace"),
        QStringLiteral("upper"),  QStringLiteral("lower"), QStringLiteral("substr"),
    };
    return k;
}

// Aggregates and pass-through functions whose result has the type of their argument.
const QSet<QString>& argumentTypedFunctions() {
    static const QSet<QString> k = {QStringLiteral("max"), QStringLiteral("min"),
                                    QStringLiteral("first"), QStringLiteral("last")};
    return k;
}

const QSet<QString>& aggregateFunctions() {
    static const QSet<QString> k = {
        QStringLiteral("count"), QStringLiteral("sum"),   QStringLiteral("avg"),
        QStringLiteral("max"),   QStringLiteral("min"),   QStringLiteral("first"),
        QStringLiteral("last"),  QStringLiteral("stdev"), QStringLiteral("var"),
    };
    return k;
}

bool isWord(const Token& t, const char* lowerWord) {
    return t.kind == Kind::Word && t.lower == QLatin1String(lowerWord);
}

// ---------------------------------------------------------------------------------------------
// Date literals

QString translateDateLiteral(const QString& literal) {
    const QString inner = literal.mid(1, literal.size() - 2).trimmed();
    static const QRegularExpression mdy(QStringLiteral(
        R"(^(\d{1,2})/(\d{1,2})/(\d{2}|\d{4})(?:\s+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?$)"));
    static const QRegularExpression ymd(QStringLiteral(
        R"(^(\d{4})[-/](\d{1,2})[-/](\d{1,2})(?:\s+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?$)"));
    int y = 0, m = 0, d = 0;
    QRegularExpressionMatch match = ymd.match(inner);
    if (match.hasMatch()) {
        y = match.captured(1).toInt();
        m = match.captured(2).toInt();
        d = match.captured(3).toInt();
    } else {
        match = mdy.match(inner);
        if (!match.hasMatch()) {
            throw DbError(
                QStringLiteral("语句中的日期常量 %1 无效 (syntax error in date)").arg(literal),
                SQLITE_ERROR);
        }
        m = match.captured(1).toInt();
        d = match.captured(2).toInt();
        y = match.captured(3).toInt();
        // Jet's window for two-digit years: 00-29 are this century, 30-99 the last.
        if (match.captured(3).size() == 2) y += y < 30 ? 2000 : 1900;
    }
    const QDate date(y, m, d);
    QTime time(0, 0);
    if (!match.captured(4).isEmpty()) {
        time = QTime(match.captured(4).toInt(), match.captured(5).toInt(),
                     match.captured(6).isEmpty() ? 0 : match.captured(6).toInt());
    }
    if (!date.isValid() || !time.isValid()) {
        throw DbError(
            QStringLiteral("语句中的日期常量 %1 无效 (syntax error in date)").arg(literal),
            SQLITE_ERROR);
    }
    QString text = date.toString(QStringLiteral("yyyy-MM-dd"));
    if (time != QTime(0, 0)) text += time.toString(QStringLiteral(" hh:mm:ss"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// ---------------------------------------------------------------------------------------------
// Translation

enum class Type { Text, Number, Date, Other };

// The tables a SELECT, UPDATE, DELETE or INSERT names, for the type of unqualified columns.
struct Scope {
    QStringList tables;               // lower-case
    QHash<QString, QString> aliases;  // lower-case alias -> table
};

struct Term {
    int first = 0;  // item positions in the run
    int last = 0;
    Type type = Type::Other;
    bool compound = false;  // more than one primary: needs parentheses next to ||
};

class Translator {
public:
    Translator(std::vector<Token>& tokens, const std::function<bool(const QString&)>& isText,
               Dialect dialect)
        : t_(tokens), isText_(isText), server_(dialect == Dialect::Server) {
        match_.assign(t_.size(), -1);
        std::vector<int> stack;
        for (int i = 0; i < int(t_.size()); ++i) {
            if (t_[i].kind == Kind::LParen) {
                stack.push_back(i);
            } else if (t_[i].kind == Kind::RParen && !stack.empty()) {
                match_[stack.back()] = i;
                match_[i] = stack.back();
                stack.pop_back();
            }
        }
        // An unbalanced parenthesis is left to the engine to report.
        for (int open : stack) t_[open].kind = Kind::Other;
    }

    void run() {
        tokenPass();
        if (server_) bareConditions();
        process(0, int(t_.size()), nullptr);
    }

private:
    bool isGroup(int idx) const { return t_[idx].kind == Kind::LParen && match_[idx] > idx; }
    int lastToken(int idx) const { return isGroup(idx) ? match_[idx] : idx; }

    // Significant tokens of [b, e) at the outermost depth; a group is represented by its '('.
    std::vector<int> items(int b, int e) const {
        std::vector<int> out;
        for (int i = b; i < e; ++i) {
            const Token& tk = t_[i];
            if (tk.removed || tk.kind == Kind::Space) continue;
            out.push_back(i);
            if (isGroup(i)) i = match_[i];
        }
        return out;
    }

    int nextSignificant(int i) const {
        for (int j = i + 1; j < int(t_.size()); ++j) {
            if (!t_[j].removed && t_[j].kind != Kind::Space) return j;
        }
        return -1;
    }
    int prevSignificant(int i) const {
        for (int j = i - 1; j >= 0; --j) {
            if (!t_[j].removed && t_[j].kind != Kind::Space) return j;
        }
        return -1;
    }

    bool endsOperand(int idx) const {
        const Token& tk = t_[idx];
        switch (tk.kind) {
            case Kind::Word:
                return !boundaryKeywords().contains(tk.lower) && tk.lower != QLatin1String("mod");
            case Kind::Name:
            case Kind::String:
            case Kind::Number:
            case Kind::Date:
            case Kind::Synth:
            case Kind::RParen:
                return true;
            default:
                return false;
        }
    }

    bool isReserved(const QString& lower) const {
        return reservedNames().contains(lower) ||
               (server_ && serverReservedNames().contains(lower));
    }

    // Rewrites that concern single tokens.
    void tokenPass() {
        for (int i = 0; i < int(t_.size()); ++i) {
            Token& tk = t_[i];
            if (tk.kind == Kind::Date) {
                tk.text = translateDateLiteral(tk.text);
                continue;
            }
            // The server folds unquoted names of the schema to lower case.
            if (tk.kind == Kind::Name && server_) tk.text = doubleQuoted(tk.lower);
            if (tk.kind != Kind::Word) continue;
            const int prev = prevSignificant(i);
            const int next = nextSignificant(i);
            const bool afterDot = prev >= 0 && t_[prev].kind == Kind::Dot;
            const bool beforeParen = next >= 0 && t_[next].kind == Kind::LParen;
            if (afterDot) {
                if (isReserved(tk.lower)) {
                    tk.kind = Kind::Name;
                    tk.text = doubleQuoted(server_ ? tk.lower : tk.text);
                }
                continue;
            }
            if (beforeParen && server_) {
                if (serverJetFunctions().contains(tk.lower)) {
                    tk.text = QStringLiteral("jet_") + tk.lower;
                    // The program clock read once per statement rather than once per row: a
                    // scalar subquery without arguments is worked out before the rows.
                    const int close = nextSignificant(next);
                    const bool noArguments = close >= 0 && t_[close].kind == Kind::RParen;
                    if (noArguments &&
                        (tk.lower == QLatin1String("now") || tk.lower == QLatin1String("date"))) {
                        tk.text = QStringLiteral("(SELECT ") + tk.text;
                        t_[close].text += QLatin1Char(')');
                    }
                }
                continue;
            }
            if (server_ && tk.lower == QLatin1String("like")) {
                tk.text = QStringLiteral("ilike");
                continue;
            }
            if (beforeParen) {
                // LEFT and RIGHT are join keywords to the engine; quoted, they name the functions.
                if (tk.lower == QLatin1String("left") || tk.lower == QLatin1String("right")) {
                    tk.text = doubleQuoted(tk.text);
                }
                continue;
            }
            if (tk.lower == QLatin1String("true") || tk.lower == QLatin1String("yes")) {
                tk.kind = Kind::Number;
                tk.text = QStringLiteral("1");
            } else if (tk.lower == QLatin1String("false") || tk.lower == QLatin1String("no")) {
                tk.kind = Kind::Number;
                tk.text = QStringLiteral("0");
            } else if (isReserved(tk.lower)) {
                tk.kind = Kind::Name;
                tk.text = doubleQuoted(server_ ? tk.lower : tk.text);
            } else if (tk.lower == QLatin1String("distinctrow")) {
                tk.text = QStringLiteral("distinct");
            } else if (tk.lower == QLatin1String("mod") && prev >= 0 && endsOperand(prev)) {
                tk.kind = Kind::Op;
                tk.text = QStringLiteral("%");
            }
        }
    }

    // True when the significant token i begins a condition: it follows WHERE, AND, OR, NOT,
    // HAVING, ON or WHEN, or the opening parenthesis of a group that begins one.
    bool beginsCondition(int i) const {
        const int p = prevSignificant(i);
        if (p < 0) return false;
        const Token& pt = t_[p];
        if (pt.kind == Kind::LParen) return isGroup(p) && beginsCondition(p);
        if (pt.kind != Kind::Word) return false;
        static const QSet<QString> before = {
            QStringLiteral("where"), QStringLiteral("and"),    QStringLiteral("or"),
            QStringLiteral("not"),   QStringLiteral("having"), QStringLiteral("on"),
            QStringLiteral("when"),
        };
        return before.contains(pt.lower);
    }

    // True when the significant token j (-1: the end of the text) ends a condition.
    bool endsCondition(int j) const {
        if (j < 0) return true;
        const Token& tk = t_[j];
        if (tk.kind == Kind::RParen || tk.kind == Kind::Semicolon) return true;
        if (tk.kind != Kind::Word) return false;
        static const QSet<QString> after = {
            QStringLiteral("and"),   QStringLiteral("or"),     QStringLiteral("order"),
            QStringLiteral("group"), QStringLiteral("having"), QStringLiteral("union"),
            QStringLiteral("then"),
        };
        return after.contains(tk.lower);
    }

    bool isColumnToken(const Token& tk) const {
        if (tk.kind == Kind::Name) return true;
        return tk.kind == Kind::Word && !boundaryKeywords().contains(tk.lower);
    }

    // Jet reads a yes/no column (or a number) standing alone as a condition, "where bf" or
    // "not bf": true when it is not 0. The server wants a boolean there, so the bare operand
    // becomes (bf<>0). The file engine reads numbers as conditions itself.
    void bareConditions() {
        for (int i = 0; i < int(t_.size()); ++i) {
            const Token& tk = t_[i];
            if (tk.removed || tk.kind == Kind::Space) continue;
            const bool number = tk.kind == Kind::Number;
            if (!number && !isColumnToken(tk)) continue;
            if (!beginsCondition(i)) continue;
            int last = i;
            int next = nextSignificant(i);
            // A qualified column: table.column.
            if (!number && next >= 0 && t_[next].kind == Kind::Dot) {
                const int column = nextSignificant(next);
                if (column < 0 || !isColumnToken(t_[column])) continue;
                last = column;
                next = nextSignificant(column);
            }
            if (!endsCondition(next)) continue;
            t_[i].prefix.append(QLatin1Char('('));
            t_[last].suffix.prepend(QStringLiteral("<>0)"));
            i = last;
        }
    }

    // Reads the table list of a FROM clause (or the table after UPDATE / INTO) into scope,
    // starting at item position k of its.
    void readTables(const std::vector<int>& its, size_t k, Scope* scope) const {
        bool expectTable = true;
        bool inCondition = false;
        for (; k < its.size(); ++k) {
            const Token& tk = t_[its[k]];
            if (tk.kind == Kind::Word) {
                const QString& w = tk.lower;
                if (w == QLatin1String("where") || w == QLatin1String("group") ||
                    w == QLatin1String("order") || w == QLatin1String("having") ||
                    w == QLatin1String("union") || w == QLatin1String("set") ||
                    w == QLatin1String("values") || w == QLatin1String("select")) {
                    return;
                }
                if (w == QLatin1String("join")) {
                    expectTable = true;
                    inCondition = false;
                    continue;
                }
                if (w == QLatin1String("on")) {
                    inCondition = true;
                    continue;
                }
                if (inCondition || w == QLatin1String("as") || w == QLatin1String("inner") ||
                    w == QLatin1String("left") || w == QLatin1String("right") ||
                    w == QLatin1String("outer")) {
                    continue;
                }
            }
            if (inCondition) continue;
            if (tk.kind == Kind::Comma) {
                expectTable = true;
                continue;
            }
            if (tk.kind == Kind::Semicolon) return;
            if (tk.kind == Kind::Word || tk.kind == Kind::Name) {
                if (expectTable) {
                    scope->tables.append(tk.lower);
                    expectTable = false;
                } else if (!scope->tables.isEmpty()) {
                    scope->aliases.insert(tk.lower, scope->tables.last());
                }
            }
        }
    }

    // Splits the items of one depth into statements' scopes: a SELECT (up to the next UNION),
    // an UPDATE, DELETE or INSERT. Items outside any of them inherit the parent's scope.
    std::vector<const Scope*> scopesFor(const std::vector<int>& its, const Scope* parent) {
        std::vector<const Scope*> out(its.size(), parent);
        const Scope* current = parent;
        for (size_t k = 0; k < its.size(); ++k) {
            const Token& tk = t_[its[k]];
            if (tk.kind == Kind::Word &&
                (tk.lower == QLatin1String("select") || tk.lower == QLatin1String("update") ||
                 tk.lower == QLatin1String("delete") || tk.lower == QLatin1String("insert"))) {
                auto scope = std::make_unique<Scope>();
                size_t j = k + 1;
                if (tk.lower == QLatin1String("update")) {
                    readTables(its, j, scope.get());
                } else {
                    for (; j < its.size(); ++j) {
                        const Token& w = t_[its[j]];
                        if (w.kind != Kind::Word) continue;
                        if (w.lower == QLatin1String("union")) break;
                        if (w.lower == QLatin1String("from") || w.lower == QLatin1String("into")) {
                            readTables(its, j + 1, scope.get());
                            break;
                        }
                    }
                }
                current = scope.get();
                scopes_.push_back(std::move(scope));
            } else if (tk.kind == Kind::Word && tk.lower == QLatin1String("union")) {
                current = parent;
            }
            out[k] = current;
        }
        return out;
    }

    bool columnIsText(const QString& qualifier, const QString& column, const Scope* scope) const {
        if (!qualifier.isEmpty()) {
            const QString table = scope ? scope->aliases.value(qualifier, qualifier) : qualifier;
            return isText_(table + QLatin1Char('.') + column);
        }
        if (scope && !scope->tables.isEmpty()) {
            for (const QString& table : scope->tables) {
                if (isText_(table + QLatin1Char('.') + column)) return true;
            }
            return false;
        }
        return isText_(column);
    }

    QString spelled(int from, int to) const {
        QString s;
        for (int i = from; i <= to; ++i) {
            const Token& tk = t_[i];
            s += tk.prefix;
            s += tk.text;
            s += tk.suffix;
        }
        return s;
    }

    bool isBoundary(int idx) const {
        const Token& tk = t_[idx];
        switch (tk.kind) {
            case Kind::Word: {
                if (!boundaryKeywords().contains(tk.lower)) return false;
                // LEFT( and RIGHT( are the string functions.
                if (tk.lower == QLatin1String("left") || tk.lower == QLatin1String("right")) {
                    const int next = nextSignificant(idx);
                    return !(next >= 0 && t_[next].kind == Kind::LParen);
                }
                return true;
            }
            case Kind::Op:
                return tk.text == QLatin1String("=") || tk.text == QLatin1String("<") ||
                       tk.text == QLatin1String(">") || tk.text == QLatin1String("<=") ||
                       tk.text == QLatin1String(">=") || tk.text == QLatin1String("<>") ||
                       tk.text == QLatin1String("!=") || tk.text == QLatin1String("==");
            case Kind::Comma:
            case Kind::Semicolon:
            case Kind::Other:
                return true;
            default:
                return false;
        }
    }

    // X not in (null, ' ') -> (X is not null and trim(X)<>''); other lists keep their values.
    bool rewriteNotInNull(const std::vector<int>& its) {
        for (size_t k = 1; k + 2 < its.size(); ++k) {
            if (!isWord(t_[its[k]], "not") || !isWord(t_[its[k + 1]], "in") ||
                !isGroup(its[k + 2])) {
                continue;
            }
            const int group = its[k + 2];
            const std::vector<int> inner = items(group + 1, match_[group]);
            bool hasNull = false;
            bool allBlank = true;
            QStringList rest;
            bool plainList = true;
            bool expectValue = true;
            for (int idx : inner) {
                const Token& v = t_[idx];
                if (expectValue) {
                    if (isWord(v, "null")) {
                        hasNull = true;
                    } else if (v.kind == Kind::String || v.kind == Kind::Number ||
                               v.kind == Kind::Date) {
                        rest.append(v.text);
                        if (v.kind != Kind::String ||
                            !v.text.mid(1, v.text.size() - 2).trimmed().isEmpty()) {
                            allBlank = false;
                        }
                    } else {
                        plainList = false;
                        break;
                    }
                } else if (v.kind != Kind::Comma) {
                    plainList = false;
                    break;
                }
                expectValue = !expectValue;
            }
            if (!plainList || !hasNull || expectValue) continue;

            // The operand before NOT: a column, a qualified column, a function call or a group.
            const size_t p = k - 1;
            size_t start = p;
            const Token& last = t_[its[p]];
            if (isGroup(its[p])) {
                if (p >= 1 && t_[its[p - 1]].kind == Kind::Word && !isBoundary(its[p - 1])) {
                    start = p - 1;
                }
            } else if (last.kind == Kind::Word || last.kind == Kind::Name) {
                if (isBoundary(its[p])) continue;
                if (p >= 2 && t_[its[p - 1]].kind == Kind::Dot &&
                    (t_[its[p - 2]].kind == Kind::Word || t_[its[p - 2]].kind == Kind::Name)) {
                    start = p - 2;
                }
            } else {
                continue;
            }
            const QString x = spelled(its[start], lastToken(its[p]));
            QString replacement;
            if (rest.isEmpty()) {
                replacement = QStringLiteral("(%1 is not null)").arg(x);
            } else if (allBlank) {
                replacement = QStringLiteral("(%1 is not null and trim(%1)<>'')").arg(x);
            } else {
                replacement = QStringLiteral("(%1 is not null and %1 not in (%2))")
                                  .arg(x, rest.join(QLatin1Char(',')));
            }
            const int first = its[start];
            for (int i = first; i <= match_[group]; ++i) {
                if (t_[i].kind == Kind::Space) continue;
                t_[i].removed = true;
                t_[i].text.clear();
                t_[i].prefix.clear();
                t_[i].suffix.clear();
            }
            t_[first].removed = false;
            t_[first].kind = Kind::Synth;
            t_[first].text = replacement;
            // Spaces inside the replaced range go too.
            for (int i = first + 1; i <= match_[group]; ++i) {
                if (t_[i].kind == Kind::Space) t_[i].text.clear();
            }
            return true;
        }
        return false;
    }

    void wrap(int firstTok, int lastTok) {
        t_[firstTok].prefix.prepend(QLatin1Char('('));
        t_[lastTok].suffix.append(QLatin1Char(')'));
    }

    Type primaryType(const std::vector<int>& run, int a, int b, const Scope* scope,
                     bool* compound) {
        const int n = b - a + 1;
        *compound = false;
        const Token& first = t_[run[a]];
        if (n == 1) {
            const int idx = run[a];
            if (isGroup(idx)) return groupType_.value(idx, Type::Other);
            switch (first.kind) {
                case Kind::String:
                    return Type::Text;
                case Kind::Number:
                    return Type::Number;
                case Kind::Date:
                    return Type::Date;
                case Kind::Word:
                case Kind::Name:
                    return columnIsText(QString(), first.lower, scope) ? Type::Text : Type::Other;
                default:
                    return Type::Other;
            }
        }
        if (n == 2 && first.kind == Kind::Word && isGroup(run[a + 1])) {
            if (textFunctions().contains(first.lower)) return Type::Text;
            if (argumentTypedFunctions().contains(first.lower)) {
                return groupType_.value(run[a + 1], Type::Other);
            }
            return Type::Other;
        }
        if (n == 3 && (first.kind == Kind::Word || first.kind == Kind::Name) &&
            t_[run[a + 1]].kind == Kind::Dot &&
            (t_[run[a + 2]].kind == Kind::Word || t_[run[a + 2]].kind == Kind::Name)) {
            return columnIsText(first.lower, t_[run[a + 2]].lower, scope) ? Type::Text
                                                                          : Type::Other;
        }
        *compound = true;
        return Type::Number;
    }

    // One arithmetic run: decides for each binary + whether it joins texts.
    Type processRun(const std::vector<int>& run, const Scope* scope) {
        if (run.empty()) return Type::Other;
        // Split into terms at binary +, - and &.
        std::vector<Term> terms;
        std::vector<int> ops;  // item positions of the operators between terms
        int termStart = 0;
        for (int k = 0; k < int(run.size()); ++k) {
            const Token& tk = t_[run[k]];
            const bool additive = tk.kind == Kind::Op &&
                                  (tk.text == QLatin1String("+") || tk.text == QLatin1String("-") ||
                                   tk.text == QLatin1String("&"));
            if (additive && k > termStart && endsOperand(lastToken(run[k - 1]))) {
                Term term;
                term.first = termStart;
                term.last = k - 1;
                terms.push_back(term);
                ops.push_back(k);
                termStart = k + 1;
            }
        }
        Term tail;
        tail.first = termStart;
        tail.last = int(run.size()) - 1;
        if (tail.last < tail.first) return Type::Other;  // dangling operator: the engine reports
        terms.push_back(tail);
        for (Term& term : terms) {
            term.type = primaryType(run, term.first, term.last, scope, &term.compound);
        }
        if (terms.size() == 1) return terms[0].type;

        auto firstTok = [&](int itemPos) { return run[itemPos]; };
        auto lastTok = [&](int itemPos) { return lastToken(run[itemPos]); };

        // Segments separated by & (lowest precedence in Jet), each a chain of + and -.
        bool anyAmpersand = false;
        Type result = Type::Other;
        size_t t = 0;
        struct Segment {
            int first, last;
            bool needsParens;
        };
        std::vector<Segment> segments;
        while (t < terms.size()) {
            int accFirst = terms[t].first;
            int accLast = terms[t].last;
            bool accText = terms[t].type == Type::Text;
            bool accNumeric = terms[t].compound;  // holds an operator that binds looser than ||
            Type segType = terms[t].type;
            size_t u = t + 1;
            for (; u < terms.size(); ++u) {
                Token& op = t_[run[ops[u - 1]]];
                if (op.text == QLatin1String("&")) break;
                const Term& term = terms[u];
                if (op.text == QLatin1String("+") && (accText || term.type == Type::Text)) {
                    if (accNumeric) {
                        wrap(firstTok(accFirst), lastTok(accLast));
                        accNumeric = false;
                    }
                    if (term.compound) wrap(firstTok(term.first), lastTok(term.last));
                    op.text = QStringLiteral("||");
                    accText = true;
                    segType = Type::Text;
                } else {
                    accText = false;
                    accNumeric = true;
                    segType = Type::Number;
                }
                accLast = term.last;
            }
            segments.push_back({accFirst, accLast, accNumeric});
            result = segType;
            if (u < terms.size()) {
                anyAmpersand = true;
                t_[run[ops[u - 1]]].text = QStringLiteral("||");
            }
            t = u;
        }
        if (anyAmpersand) {
            for (const Segment& s : segments) {
                if (s.needsParens) wrap(firstTok(s.first), lastTok(s.last));
            }
            return Type::Text;
        }
        return result;
    }

    // Translates [b, e) and returns the type of the range when it is one expression.
    Type process(int b, int e, const Scope* parent) {
        std::vector<int> its = items(b, e);
        std::vector<const Scope*> scopes = scopesFor(its, parent);
        for (size_t k = 0; k < its.size(); ++k) {
            const int idx = its[k];
            if (isGroup(idx)) groupType_.insert(idx, process(idx + 1, match_[idx], scopes[k]));
        }
        while (rewriteNotInNull(its)) {
            its = items(b, e);
            scopes = scopesFor(its, parent);
        }
        std::vector<int> run;
        const Scope* runScope = parent;
        int runs = 0;
        Type type = Type::Other;
        auto flush = [&]() {
            if (run.empty()) return;
            type = processRun(run, runScope);
            ++runs;
            run.clear();
        };
        bool sawBoundary = false;
        for (size_t k = 0; k < its.size(); ++k) {
            if (isBoundary(its[k])) {
                flush();
                sawBoundary = true;
                continue;
            }
            if (run.empty()) runScope = scopes[k];
            run.push_back(its[k]);
        }
        flush();
        collateOrderBy(its, scopes);
        return (runs == 1 && !sawBoundary) ? type : Type::Other;
    }

    // Text columns named in an ORDER BY sort in Jet's (Chinese) order.
    void collateOrderBy(const std::vector<int>& its, const std::vector<const Scope*>& scopes) {
        for (size_t k = 0; k + 1 < its.size(); ++k) {
            if (!isWord(t_[its[k]], "order") || !isWord(t_[its[k + 1]], "by")) continue;
            bool collated = false;
            size_t j = k + 2;
            while (j < its.size()) {
                size_t end = j;
                while (end < its.size() && t_[its[end]].kind != Kind::Comma &&
                       t_[its[end]].kind != Kind::Semicolon) {
                    ++end;
                }
                size_t last = end;
                if (last > j &&
                    (isWord(t_[its[last - 1]], "asc") || isWord(t_[its[last - 1]], "desc"))) {
                    --last;
                }
                const auto isName = [&](size_t at) {
                    const Token& tk = t_[its[at]];
                    return (tk.kind == Kind::Word && !isBoundary(its[at])) || tk.kind == Kind::Name;
                };
                bool text = false;
                if (last == j + 1 && isName(j)) {
                    text = columnIsText(QString(), t_[its[j]].lower, scopes[k]);
                } else if (last == j + 3 && isName(j) && t_[its[j + 1]].kind == Kind::Dot &&
                           isName(j + 2)) {
                    text = columnIsText(t_[its[j]].lower, t_[its[j + 2]].lower, scopes[k]);
                }
                if (text) {
                    t_[its[last - 1]].suffix +=
                        QStringLiteral(" COLLATE ") + QLatin1String(kJetTextCollation);
                    collated = true;
                }
                if (end >= its.size() || t_[its[end]].kind == Kind::Semicolon) break;
                j = end + 1;
            }
            if (collated && server_) enclosePlainUnion(its, k);
        }
    }

    // The server sorts a UNION by its result columns alone, never by an expression such as
    // "zclb COLLATE jettext": the union before the ORDER BY at item k is made a derived table,
    // "select * from (...) fx_union order by ...".
    void enclosePlainUnion(const std::vector<int>& its, size_t k) {
        size_t first = k;
        bool unites = false;
        for (size_t i = k; i-- > 0;) {
            const Token& tk = t_[its[i]];
            if (tk.kind == Kind::Semicolon) break;
            if (isWord(tk, "union")) unites = true;
            if (isWord(tk, "select")) first = i;
        }
        if (!unites || first >= k) return;
        t_[its[first]].prefix.prepend(QStringLiteral("select * from ("));
        t_[lastToken(its[k - 1])].suffix.append(QStringLiteral(") fx_union"));
    }

    std::vector<Token>& t_;
    const std::function<bool(const QString&)>& isText_;
    bool server_;
    std::vector<int> match_;
    QHash<int, Type> groupType_;
    std::vector<std::unique_ptr<Scope>> scopes_;
};

}  // namespace

QString translateJet(const QString& jetSql,
                     const std::function<bool(const QString& column)>& isTextColumn,
                     Dialect dialect) {
    std::vector<Token> tokens = tokenize(jetSql);
    Translator(tokens, isTextColumn, dialect).run();
    QString out;
    out.reserve(jetSql.size() + 16);
    for (const Token& tk : tokens) {
        out += tk.prefix;
        out += tk.text;
        out += tk.suffix;
    }
    return out;
}

SingleTableSelect findSingleTableSelect(const QString& jetSql) {
    const std::vector<Token> tokens = tokenize(jetSql);
    // Significant tokens at depth 0, and whether an aggregate is called anywhere at depth 0.
    std::vector<int> top;
    int depth = 0;
    bool aggregate = false;
    int lastWord = -1;
    for (int i = 0; i < int(tokens.size()); ++i) {
        const Token& tk = tokens[i];
        if (tk.kind == Kind::Space) continue;
        if (tk.kind == Kind::LParen) {
            if (depth == 0 && lastWord >= 0 &&
                aggregateFunctions().contains(tokens[lastWord].lower)) {
                aggregate = true;
            }
            ++depth;
        } else if (tk.kind == Kind::RParen) {
            --depth;
        } else if (depth == 0) {
            top.push_back(i);
        }
        lastWord = (tk.kind == Kind::Word && depth == 0) ? i : -1;
    }
    SingleTableSelect none;
    if (aggregate || top.empty() || !isWord(tokens[top[0]], "select")) return none;
    if (top.size() > 1) {
        const Token& second = tokens[top[1]];
        if (isWord(second, "distinct") || isWord(second, "distinctrow") || isWord(second, "top")) {
            return none;
        }
    }
    size_t k = 1;
    while (k < top.size() && !isWord(tokens[top[k]], "from")) ++k;
    if (k + 1 >= top.size()) return none;
    const Token& table = tokens[top[k + 1]];
    if (table.kind != Kind::Word && table.kind != Kind::Name) return none;
    if (k + 2 < top.size()) {
        const Token& after = tokens[top[k + 2]];
        if (!isWord(after, "where") && !isWord(after, "order") && after.kind != Kind::Semicolon) {
            return none;
        }
    }
    for (size_t j = k + 2; j < top.size(); ++j) {
        const Token& tk = tokens[top[j]];
        if (isWord(tk, "group") || isWord(tk, "union") || isWord(tk, "having") ||
            isWord(tk, "join")) {
            return none;
        }
    }
    SingleTableSelect result;
    for (size_t j = k + 2; j < top.size(); ++j)
        if (isWord(tokens[top[j]], "order")) result.ordered = true;
    result.table = table.lower;
    result.selectEnd = tokens[top[0]].pos + tokens[top[0]].text.size();
    return result;
}

}  // namespace fx::db
