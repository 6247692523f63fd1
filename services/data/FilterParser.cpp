#include "services/data/FilterParser.h"

#include "services/data/DataSetError.h"
#include "services/data/FilterNode.h"
#include "services/data/Variant.h"

#include <cctype>

using Node = FilterExpression::Node;
using Op = FilterExpression::Op;

namespace {

bool isNameStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool keyword(std::string_view word, const char* kw) {
    std::size_t i = 0;
    for (; kw[i]; ++i)
        if (i >= word.size() || std::toupper(static_cast<unsigned char>(word[i])) != kw[i])
            return false;
    return i == word.size();
}

} // namespace

void FilterParser::fail(const std::string& expected) const {
    throw DataSetError("Filtro inválido \"" + std::string(m_text) + "\": " + expected +
                       " na posição " + std::to_string(m_tokStart + 1) + ".");
}

void FilterParser::advance() {
    while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
        ++m_pos;
    m_tokStart = m_pos;
    m_value.clear();
    if (m_pos >= m_text.size()) {
        m_tok = Tok::End;
        return;
    }
    const char c = m_text[m_pos];
    if (lexOperator(c)) return;
    if (c == '\'') return lexText();
    if (c == '[') return lexBracketName();
    if (std::isdigit(static_cast<unsigned char>(c)) ||
        ((c == '-' || c == '.') && std::isdigit(static_cast<unsigned char>(peekAt(1)))))
        return lexNumber();
    if (isNameStart(c)) return lexWord();
    fail(std::string("símbolo inesperado '") + c + "'");
}

bool FilterParser::lexOperator(char c) {
    switch (c) {
    case '(':
        m_tok = Tok::LParen;
        ++m_pos;
        return true;
    case ')':
        m_tok = Tok::RParen;
        ++m_pos;
        return true;
    case ',':
        m_tok = Tok::Comma;
        ++m_pos;
        return true;
    case '=':
        m_tok = Tok::Op;
        m_op = Op::Eq;
        ++m_pos;
        return true;
    case '<':
        m_tok = Tok::Op;
        if (peekAt(1) == '>')
            m_op = Op::Ne, m_pos += 2;
        else if (peekAt(1) == '=')
            m_op = Op::Le, m_pos += 2;
        else
            m_op = Op::Lt, ++m_pos;
        return true;
    case '>':
        m_tok = Tok::Op;
        if (peekAt(1) == '=')
            m_op = Op::Ge, m_pos += 2;
        else
            m_op = Op::Gt, ++m_pos;
        return true;
    case '!':
        if (peekAt(1) != '=') return false;
        m_tok = Tok::Op, m_op = Op::Ne, m_pos += 2;
        return true;
    default:
        return false;
    }
}

// A quoted text; a doubled quote inside stands for one.
void FilterParser::lexText() {
    for (++m_pos;; ++m_pos) {
        if (m_pos >= m_text.size()) fail("texto sem a aspa que o fecha");
        if (m_text[m_pos] == '\'') {
            if (peekAt(1) == '\'') {
                m_value += '\'';
                ++m_pos;
                continue;
            }
            ++m_pos;
            break;
        }
        m_value += m_text[m_pos];
    }
    m_tok = Tok::Text;
}

void FilterParser::lexBracketName() {
    const auto close = m_text.find(']', m_pos);
    if (close == std::string_view::npos) fail("nome de campo sem o ']' que o fecha");
    m_value = std::string(m_text.substr(m_pos + 1, close - m_pos - 1));
    if (m_value.empty()) fail("nome de campo");
    m_pos = close + 1;
    m_tok = Tok::Name;
}

void FilterParser::lexNumber() {
    std::size_t end = m_pos + 1;
    while (end < m_text.size() &&
           (std::isdigit(static_cast<unsigned char>(m_text[end])) || m_text[end] == '.'))
        ++end;
    m_value = std::string(m_text.substr(m_pos, end - m_pos));
    if (!tryParseCDouble(m_value, m_number)) fail("número");
    m_pos = end;
    m_tok = Tok::Number;
}

// A keyword or a field name.
void FilterParser::lexWord() {
    std::size_t end = m_pos + 1;
    while (end < m_text.size() && isNameChar(m_text[end]))
        ++end;
    const std::string_view word = m_text.substr(m_pos, end - m_pos);
    m_pos = end;
    if (keyword(word, "AND"))
        m_tok = Tok::And;
    else if (keyword(word, "OR"))
        m_tok = Tok::Or;
    else if (keyword(word, "NOT"))
        m_tok = Tok::Not;
    else if (keyword(word, "IN"))
        m_tok = Tok::In;
    else if (keyword(word, "IS"))
        m_tok = Tok::Is;
    else if (keyword(word, "NULL"))
        m_tok = Tok::Null;
    else {
        m_tok = Tok::Name;
        m_value = std::string(word);
    }
}

std::unique_ptr<Node> FilterParser::parse() {
    advance();
    if (m_tok == Tok::End) return nullptr;
    auto root = parseOr();
    if (m_tok != Tok::End) fail("fim do filtro ou AND/OR");
    return root;
}

std::unique_ptr<Node> FilterParser::parseOr() {
    auto left = parseAnd();
    if (m_tok != Tok::Or) return left;
    auto node = std::make_unique<Node>();
    node->kind = Node::Kind::Or;
    node->children.push_back(std::move(left));
    while (m_tok == Tok::Or) {
        advance();
        node->children.push_back(parseAnd());
    }
    return node;
}

std::unique_ptr<Node> FilterParser::parseAnd() {
    auto left = parseUnary();
    if (m_tok != Tok::And) return left;
    auto node = std::make_unique<Node>();
    node->kind = Node::Kind::And;
    node->children.push_back(std::move(left));
    while (m_tok == Tok::And) {
        advance();
        node->children.push_back(parseUnary());
    }
    return node;
}

std::unique_ptr<Node> FilterParser::parseUnary() {
    if (m_tok == Tok::Not) {
        advance();
        auto node = std::make_unique<Node>();
        node->kind = Node::Kind::Not;
        node->children.push_back(parseUnary());
        return node;
    }
    return parsePrimary();
}

std::unique_ptr<Node> FilterParser::parsePrimary() {
    if (m_tok == Tok::LParen) {
        advance();
        auto inner = parseOr();
        if (m_tok != Tok::RParen) fail("')'");
        advance();
        return inner;
    }
    auto node = std::make_unique<Node>();
    parseOperand(*node, true);
    if (m_tok == Tok::Op) {
        node->kind = Node::Kind::Compare;
        node->op = m_op;
        advance();
        parseOperand(*node, false);
        return node;
    }
    if (m_tok == Tok::Is) {
        node->kind = Node::Kind::IsNull;
        advance();
        if (m_tok == Tok::Not) {
            node->negate = true;
            advance();
        }
        if (m_tok != Tok::Null) fail("NULL");
        advance();
        return node;
    }
    if (m_tok == Tok::Not) {
        node->negate = true;
        advance();
        if (m_tok != Tok::In) fail("IN");
    }
    if (m_tok == Tok::In) {
        node->kind = Node::Kind::In;
        advance();
        if (m_tok != Tok::LParen) fail("'(' da lista");
        advance();
        node->list.push_back(parseConstant());
        while (m_tok == Tok::Comma) {
            advance();
            node->list.push_back(parseConstant());
        }
        if (m_tok != Tok::RParen) fail("',' ou ')' da lista");
        advance();
        return node;
    }
    fail("operador de comparação (=, <>, <, >, <=, >=, IN)");
}

void FilterParser::parseOperand(Node& node, bool left) {
    Node::Operand& operand = left ? node.left : node.right;
    if (m_tok == Tok::Name) {
        operand.isField = true;
        operand.name = m_value;
        advance();
        return;
    }
    operand.value = parseConstant();
}

Variant FilterParser::parseConstant() {
    Variant value;
    if (m_tok == Tok::Text) {
        value = Variant(std::string_view(m_value));
    } else if (m_tok == Tok::Number) {
        value = Variant(m_number);
    } else {
        fail(m_tok == Tok::End ? "um valor antes do fim" : "nome de campo, 'texto' ou número");
    }
    advance();
    return value;
}
