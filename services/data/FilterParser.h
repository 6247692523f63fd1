#pragma once

#include "services/data/FilterExpression.h"

#include <memory>
#include <string>
#include <string_view>

// Recursive-descent reader of the filter syntax:
//   or := and {OR and};  and := unary {AND unary};  unary := NOT unary | primary
//   primary := '(' or ')' | operand op operand | operand [NOT] IN '(' const {',' const} ')'
//            | operand IS [NOT] NULL
//   operand := name | [name] | 'text' ('' for a quote) | number
// Keywords in any letter case; blanks optional around symbols and quotes ("'I'AND").
class FilterParser {
public:
    explicit FilterParser(std::string_view text) : m_text(text) {}

    std::unique_ptr<FilterExpression::Node> parse();

private:
    enum class Tok {
        End,
        Name,
        Text,
        Number,
        LParen,
        RParen,
        Comma,
        Op,
        And,
        Or,
        Not,
        In,
        Is,
        Null
    };

    // Reads the next token into m_tok (and m_op or m_value).
    void advance();
    // The token kinds that need more than their first character.
    bool lexOperator(char c);
    void lexText();
    void lexBracketName();
    void lexNumber();
    void lexWord();
    char peekAt(std::size_t k) const {
        return m_pos + k < m_text.size() ? m_text[m_pos + k] : '\0';
    }
    [[noreturn]] void fail(const std::string& expected) const;
    std::unique_ptr<FilterExpression::Node> parseOr();
    std::unique_ptr<FilterExpression::Node> parseAnd();
    std::unique_ptr<FilterExpression::Node> parseUnary();
    std::unique_ptr<FilterExpression::Node> parsePrimary();
    void parseOperand(FilterExpression::Node& node, bool left);
    Variant parseConstant();

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_tokStart = 0;
    Tok m_tok = Tok::End;
    std::string m_value;
    double m_number = 0; // a number token's value
    FilterExpression::Op m_op = FilterExpression::Op::Eq;
};
