#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "value.h"

namespace fx::report {

class DataSource;

// An expression of the report language, parsed once and evaluated for each record:
//
//   field names (any case), 'text' literals ('' for an apostrophe), numbers, True, False,
//   + - * / with the usual precedence, unary minus, > < >= <= = <>, Not, And, Or, parentheses;
//   FORMATNUMERIC(format, number), IF(condition, a, b), SUM(x), COUNT() (names in any case).
//
// + joins texts when either side is a text (a number is written as numberText does); a division
// by zero gives 0; a field the data source lacks reads as nothing. IF evaluates only the branch
// it takes. SUM and COUNT hold running totals over the records passed to accumulate(): SUM adds
// the unrounded value of its argument, COUNT counts records (an argument is allowed and
// ignored). Which records they cover is the layout's business (the report, or one group).
class Expression {
public:
    // An empty expression: evaluates to nothing.
    Expression();
    // Parses `text`. A blank text gives the empty expression; a malformed one is not ok() and
    // evaluates to nothing.
    explicit Expression(const QString& text);
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;
    ~Expression();

    const QString& text() const { return text_; }
    bool isEmpty() const;
    bool ok() const { return error_.isEmpty(); }
    // A message saying what is wrong and where (empty when ok).
    const QString& error() const { return error_; }
    // Offset in the text at which the error was found, -1 when ok.
    int errorPosition() const { return errorPosition_; }

    // Resolves the field names against `data`, which must outlive later calls. Until bound,
    // every field reads as nothing.
    void bind(const DataSource* data);

    bool hasAggregates() const { return !aggregates_.empty(); }
    // Adds record `row` to every SUM and COUNT in the expression.
    void accumulate(int row);
    // Starts every SUM and COUNT afresh.
    void resetAggregates();

    // The value for record `row` (-1: no record; fields read as nothing).
    Value evaluate(int row) const;

    struct Node;

private:
    struct Aggregate {
        const Node* argument = nullptr;  // SUM's argument; null for COUNT
        bool isCount = false;
        double sum = 0;
        double count = 0;
    };
    Value eval(const Node& node, int row) const;
    void bindNode(Node& node);

    QString text_;
    QString error_;
    int errorPosition_ = -1;
    std::unique_ptr<Node> root_;
    std::vector<Aggregate> aggregates_;
    const DataSource* data_ = nullptr;

    friend class ExpressionParser;
};

// Parses and evaluates `text` for one record of `data` (no running totals). For tests and for
// one-off values.
Value evaluateOnce(const QString& text, const DataSource& data, int row);

}  // namespace fx::report
