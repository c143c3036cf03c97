#include "expression.h"

#include <QStringList>

#include "datasource.h"

namespace fx::report {

struct Expression::Node {
    enum class Kind {
        Literal,
        Field,
        Negate,
        Not,
        Binary,  // op: + - * / > < >= <= = <>
        And,
        Or,
        If,
        FormatNumeric,
        Aggregate,
    };
    Kind kind = Kind::Literal;
    Value literal;
    QString name;    // field name
    int field = -1;  // resolved field index
    QString op;      // binary operator
    int slot = -1;   // aggregate slot
    std::vector<std::unique_ptr<Node>> args;
};

namespace {

enum class TokenType { End, Number, Text, Name, Symbol };

struct Token {
    TokenType type = TokenType::End;
    QString text;
    double number = 0;
    int position = 0;
};

// Splits an expression text into tokens. Throws the position and message of a bad token.
struct ParseError {
    int position;
    QString message;
};

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> tokens;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.position = i;
        if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            int j = i;
            while (j < n && s.at(j).isDigit()) ++j;
            if (j < n && s.at(j) == QLatin1Char('.')) {
                ++j;
                while (j < n && s.at(j).isDigit()) ++j;
            }
            t.type = TokenType::Number;
            t.text = s.mid(i, j - i);
            t.number = t.text.toDouble();
            i = j;
        } else if (c == QLatin1Char('\'')) {
            int j = i + 1;
            QString text;
            bool closed = false;
            while (j < n) {
                if (s.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && s.at(j + 1) == QLatin1Char('\'')) {
                        text += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                text += s.at(j);
                ++j;
            }
            if (!closed) throw ParseError{i, QStringLiteral("文本缺少结束的单引号")};
            t.type = TokenType::Text;
            t.text = text;
            i = j;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int j = i;
            while (j < n && (s.at(j).isLetterOrNumber() || s.at(j) == QLatin1Char('_') ||
                             s.at(j) == QLatin1Char('.')))
                ++j;
            t.type = TokenType::Name;
            t.text = s.mid(i, j - i);
            i = j;
        } else {
            static const QStringList twoChar = {QStringLiteral(">="), QStringLiteral("<="),
                                                QStringLiteral("<>")};
            const QString two = s.mid(i, 2);
            t.type = TokenType::Symbol;
            if (twoChar.contains(two)) {
                t.text = two;
                i += 2;
            } else if (QStringLiteral("+-*/()<>=,").contains(c)) {
                t.text = c;
                ++i;
            } else {
                throw ParseError{i, QStringLiteral("无法识别的字符“%1”").arg(c)};
            }
        }
        tokens.push_back(t);
    }
    Token end;
    end.position = n;
    tokens.push_back(end);
    return tokens;
}

bool isName(const Token& t, const char* name) {
    return t.type == TokenType::Name &&
           t.text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

bool isSymbol(const Token& t, const char* symbol) {
    return t.type == TokenType::Symbol && t.text == QLatin1String(symbol);
}

}  // namespace

// Recursive descent over the tokens; precedence from loosest: Or, And, Not, comparison,
// + -, * /, unary minus.
class ExpressionParser {
public:
    using Node = Expression::Node;
    ExpressionParser(Expression& target, std::vector<Token> tokens)
        : target_(target), tokens_(std::move(tokens)) {}

    std::unique_ptr<Node> parse() {
        auto node = parseOr();
        if (peek().type != TokenType::End) fail(QStringLiteral("表达式在此处多出内容"));
        return node;
    }

private:
    const Token& peek() const { return tokens_[pos_]; }
    const Token& next() { return tokens_[pos_++]; }
    [[noreturn]] void fail(const QString& message) const {
        throw ParseError{peek().position, message};
    }
    void expectSymbol(const char* symbol) {
        if (!isSymbol(peek(), symbol))
            fail(QStringLiteral("此处应为“%1”").arg(QLatin1String(symbol)));
        ++pos_;
    }

    static std::unique_ptr<Node> make(Node::Kind kind) {
        auto n = std::make_unique<Node>();
        n->kind = kind;
        return n;
    }

    std::unique_ptr<Node> parseOr() {
        auto left = parseAnd();
        while (isName(peek(), "or")) {
            ++pos_;
            auto n = make(Node::Kind::Or);
            n->args.push_back(std::move(left));
            n->args.push_back(parseAnd());
            left = std::move(n);
        }
        return left;
    }

    std::unique_ptr<Node> parseAnd() {
        auto left = parseNot();
        while (isName(peek(), "and")) {
            ++pos_;
            auto n = make(Node::Kind::And);
            n->args.push_back(std::move(left));
            n->args.push_back(parseNot());
            left = std::move(n);
        }
        return left;
    }

    std::unique_ptr<Node> parseNot() {
        if (isName(peek(), "not")) {
            ++pos_;
            auto n = make(Node::Kind::Not);
            n->args.push_back(parseNot());
            return n;
        }
        return parseComparison();
    }

    std::unique_ptr<Node> parseComparison() {
        auto left = parseAdditive();
        static const QStringList ops = {QStringLiteral(">"),  QStringLiteral("<"),
                                        QStringLiteral(">="), QStringLiteral("<="),
                                        QStringLiteral("="),  QStringLiteral("<>")};
        if (peek().type == TokenType::Symbol && ops.contains(peek().text)) {
            auto n = make(Node::Kind::Binary);
            n->op = next().text;
            n->args.push_back(std::move(left));
            n->args.push_back(parseAdditive());
            return n;
        }
        return left;
    }

    std::unique_ptr<Node> parseAdditive() {
        auto left = parseTerm();
        while (isSymbol(peek(), "+") || isSymbol(peek(), "-")) {
            auto n = make(Node::Kind::Binary);
            n->op = next().text;
            n->args.push_back(std::move(left));
            n->args.push_back(parseTerm());
            left = std::move(n);
        }
        return left;
    }

    std::unique_ptr<Node> parseTerm() {
        auto left = parseUnary();
        while (isSymbol(peek(), "*") || isSymbol(peek(), "/")) {
            auto n = make(Node::Kind::Binary);
            n->op = next().text;
            n->args.push_back(std::move(left));
            n->args.push_back(parseUnary());
            left = std::move(n);
        }
        return left;
    }

    std::unique_ptr<Node> parseUnary() {
        if (isSymbol(peek(), "-")) {
            ++pos_;
            auto n = make(Node::Kind::Negate);
            n->args.push_back(parseUnary());
            return n;
        }
        if (isSymbol(peek(), "+")) {
            ++pos_;
            return parseUnary();
        }
        return parsePrimary();
    }

    std::vector<std::unique_ptr<Node>> parseArguments() {
        std::vector<std::unique_ptr<Node>> args;
        expectSymbol("(");
        if (isSymbol(peek(), ")")) {
            ++pos_;
            return args;
        }
        for (;;) {
            args.push_back(parseOr());
            if (isSymbol(peek(), ",")) {
                ++pos_;
                continue;
            }
            expectSymbol(")");
            return args;
        }
    }

    std::unique_ptr<Node> parsePrimary() {
        const Token& t = peek();
        switch (t.type) {
            case TokenType::Number: {
                auto n = make(Node::Kind::Literal);
                n->literal = Value::number(next().number);
                return n;
            }
            case TokenType::Text: {
                auto n = make(Node::Kind::Literal);
                n->literal = Value::text(next().text);
                return n;
            }
            case TokenType::Symbol:
                if (isSymbol(t, "(")) {
                    ++pos_;
                    auto inner = parseOr();
                    expectSymbol(")");
                    return inner;
                }
                fail(QStringLiteral("此处应为数值、文本、字段或函数"));
            case TokenType::End:
                fail(QStringLiteral("表达式不完整"));
            case TokenType::Name:
                break;
        }
        if (isName(t, "true") || isName(t, "false")) {
            auto n = make(Node::Kind::Literal);
            n->literal = Value::boolean(isName(next(), "true"));
            return n;
        }
        const bool call = isSymbol(tokens_[pos_ + 1], "(");
        if (!call) {
            auto n = make(Node::Kind::Field);
            n->name = next().text;
            return n;
        }
        const Token name = next();
        const int namePos = name.position;
        if (isName(name, "sum") || isName(name, "count")) {
            if (inAggregate_) throw ParseError{namePos, QStringLiteral("合计函数不能嵌套")};
            inAggregate_ = true;
            auto args = parseArguments();
            inAggregate_ = false;
            const bool isCount = isName(name, "count");
            if (!isCount && args.size() != 1)
                throw ParseError{namePos, QStringLiteral("SUM 需要一个参数")};
            if (args.size() > 1) throw ParseError{namePos, QStringLiteral("COUNT 最多一个参数")};
            auto n = make(Node::Kind::Aggregate);
            n->args = std::move(args);
            n->slot = int(target_.aggregates_.size());
            Expression::Aggregate agg;
            agg.isCount = isCount;
            agg.argument = isCount ? nullptr : n->args.front().get();
            target_.aggregates_.push_back(agg);
            return n;
        }
        if (isName(name, "if")) {
            auto n = make(Node::Kind::If);
            n->args = parseArguments();
            if (n->args.size() != 3) throw ParseError{namePos, QStringLiteral("IF 需要三个参数")};
            return n;
        }
        if (isName(name, "formatnumeric")) {
            auto n = make(Node::Kind::FormatNumeric);
            n->args = parseArguments();
            if (n->args.size() != 2)
                throw ParseError{namePos, QStringLiteral("FORMATNUMERIC 需要两个参数")};
            return n;
        }
        throw ParseError{namePos, QStringLiteral("未知的函数“%1”").arg(name.text)};
    }

    Expression& target_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    bool inAggregate_ = false;
};

Expression::Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;
Expression::~Expression() = default;

Expression::Expression(const QString& text) : text_(text) {
    if (text.trimmed().isEmpty()) return;
    try {
        ExpressionParser parser(*this, tokenize(text));
        root_ = parser.parse();
    } catch (const ParseError& e) {
        root_.reset();
        aggregates_.clear();
        errorPosition_ = e.position;
        error_ = QStringLiteral("表达式“%1”第 %2 个字符处：%3")
                     .arg(text)
                     .arg(e.position + 1)
                     .arg(e.message);
    }
}

bool Expression::isEmpty() const {
    return !root_;
}

void Expression::bind(const DataSource* data) {
    data_ = data;
    if (root_) bindNode(*root_);
}

void Expression::bindNode(Node& node) {
    if (node.kind == Node::Kind::Field) node.field = data_ ? data_->fieldIndex(node.name) : -1;
    for (auto& a : node.args) bindNode(*a);
}

void Expression::accumulate(int row) {
    for (Aggregate& a : aggregates_) {
        a.count += 1;
        if (a.argument) a.sum += eval(*a.argument, row).toNumber();
    }
}

void Expression::resetAggregates() {
    for (Aggregate& a : aggregates_) {
        a.sum = 0;
        a.count = 0;
    }
}

Value Expression::evaluate(int row) const {
    if (!root_) return {};
    return eval(*root_, row);
}

namespace {

Value compare(const QString& op, const Value& l, const Value& r) {
    int c = 0;
    const bool textual =
        (l.isText() || l.isNull()) && (r.isText() || r.isNull()) && !(l.isNull() && r.isNull());
    if (textual) {
        c = l.toText().compare(r.toText());
    } else {
        const double a = l.toNumber(), b = r.toNumber();
        c = a < b ? -1 : (a > b ? 1 : 0);
    }
    if (op == QLatin1String(">")) return Value::boolean(c > 0);
    if (op == QLatin1String("<")) return Value::boolean(c < 0);
    if (op == QLatin1String(">=")) return Value::boolean(c >= 0);
    if (op == QLatin1String("<=")) return Value::boolean(c <= 0);
    if (op == QLatin1String("=")) return Value::boolean(c == 0);
    return Value::boolean(c != 0);
}

}  // namespace

Value Expression::eval(const Node& node, int row) const {
    switch (node.kind) {
        case Node::Kind::Literal:
            return node.literal;
        case Node::Kind::Field:
            if (!data_ || node.field < 0 || row < 0) return {};
            return Value::fromVariant(data_->value(row, node.field));
        case Node::Kind::Negate:
            return Value::number(-eval(*node.args[0], row).toNumber());
        case Node::Kind::Not:
            return Value::boolean(!eval(*node.args[0], row).toBool());
        case Node::Kind::And:
            return Value::boolean(eval(*node.args[0], row).toBool() &&
                                  eval(*node.args[1], row).toBool());
        case Node::Kind::Or:
            return Value::boolean(eval(*node.args[0], row).toBool() ||
                                  eval(*node.args[1], row).toBool());
        case Node::Kind::If:
            return eval(*node.args[0], row).toBool() ? eval(*node.args[1], row)
                                                     : eval(*node.args[2], row);
        case Node::Kind::FormatNumeric:
            return Value::text(formatNumeric(eval(*node.args[0], row).toText(),
                                             eval(*node.args[1], row).toNumber()));
        case Node::Kind::Aggregate: {
            const Aggregate& a = aggregates_[size_t(node.slot)];
            return Value::number(a.isCount ? a.count : a.sum);
        }
        case Node::Kind::Binary: {
            const Value l = eval(*node.args[0], row);
            const Value r = eval(*node.args[1], row);
            const QChar op = node.op.at(0);
            if (node.op.size() == 1 && op == QLatin1Char('+')) {
                if (l.isText() || r.isText()) return Value::text(l.toText() + r.toText());
                return Value::number(l.toNumber() + r.toNumber());
            }
            if (node.op.size() == 1 && op == QLatin1Char('-'))
                return Value::number(l.toNumber() - r.toNumber());
            if (node.op.size() == 1 && op == QLatin1Char('*'))
                return Value::number(l.toNumber() * r.toNumber());
            if (node.op.size() == 1 && op == QLatin1Char('/')) {
                // A zero divisor (a life of 0 months) gives 0 rather than failing the report.
                const double d = r.toNumber();
                return Value::number(d == 0 ? 0 : l.toNumber() / d);
            }
            return compare(node.op, l, r);
        }
    }
    return {};
}

Value evaluateOnce(const QString& text, const DataSource& data, int row) {
    Expression e(text);
    e.bind(&data);
    return e.evaluate(row);
}

}  // namespace fx::report
