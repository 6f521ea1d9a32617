// The KeyValues text reader: a tokenizer and a recursive descent over blocks.
#include "library/keyvalues.h"

#include <cstddef>

namespace ludexa {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

struct Token {
    enum class Kind { End, String, Open, Close, Condition, Error };
    Kind kind = Kind::End;
    std::string text;
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {
        // Some tools save the files with a UTF-8 byte order mark.
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
    }

    Token next() {
        skipSpaceAndComments();
        if (pos_ >= text_.size()) return {};
        const char c = text_[pos_];
        if (c == '{') return ++pos_, Token{Token::Kind::Open, {}};
        if (c == '}') return ++pos_, Token{Token::Kind::Close, {}};
        if (c == '"') return quoted();
        if (c == '[') return condition();
        return bare();
    }

private:
    void skipSpaceAndComments() {
        while (pos_ < text_.size()) {
            if (isSpace(text_[pos_])) {
                ++pos_;
            } else if (text_.substr(pos_, 2) == "//") {
                const auto end = text_.find('\n', pos_);
                pos_ = end == std::string_view::npos ? text_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    // Steam escapes only these four; any other backslash stands for itself,
    // which keeps Windows paths written without doubling readable.
    Token quoted() {
        Token token{Token::Kind::String, {}};
        ++pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') return token;
            if (c == '\\' && pos_ < text_.size()) {
                const char e = text_[pos_];
                if (e == 'n' || e == 't' || e == '\\' || e == '"') {
                    ++pos_;
                    token.text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                    continue;
                }
            }
            token.text += c;
        }
        return {Token::Kind::Error, {}};
    }

    Token condition() {
        const auto end = text_.find(']', pos_);
        if (end == std::string_view::npos) return {Token::Kind::Error, {}};
        Token token{Token::Kind::Condition, std::string(text_.substr(pos_, end + 1 - pos_))};
        pos_ = end + 1;
        return token;
    }

    Token bare() {
        Token token{Token::Kind::String, {}};
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (isSpace(c) || c == '{' || c == '}' || c == '"') break;
            token.text += c;
            ++pos_;
        }
        return token;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

class Parser {
public:
    explicit Parser(std::string_view text) : tokens_(text) { advance(); }

    // Pairs up to the end of the text (depth 0) or to the closing brace.
    bool parsePairs(std::vector<KeyValue>& out, int depth) {
        for (;;) {
            switch (current_.kind) {
                case Token::Kind::End: return depth == 0;
                case Token::Kind::Close:
                    if (depth == 0) return false;
                    advance();
                    return true;
                case Token::Kind::String: break;
                default: return false;
            }
            KeyValue pair;
            pair.key = std::move(current_.text);
            advance();
            if (current_.kind == Token::Kind::Condition) advance();  // a condition on the key
            if (current_.kind == Token::Kind::String) {
                pair.value = std::move(current_.text);
                advance();
            } else if (current_.kind == Token::Kind::Open) {
                if (depth + 1 > kMaxKeyValueDepth) return false;
                pair.isBlock = true;
                advance();
                if (!parsePairs(pair.children, depth + 1)) return false;
            } else {
                return false;
            }
            if (current_.kind == Token::Kind::Condition) advance();  // "[$WIN32]" after the value
            out.push_back(std::move(pair));
        }
    }

private:
    void advance() { current_ = tokens_.next(); }

    Tokenizer tokens_;
    Token current_;
};

void appendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        if (c == '\t') {
            out += "\\t";
            continue;
        }
        out += c;
    }
    out += '"';
}

void formatPairs(std::string& out, const std::vector<KeyValue>& pairs, int depth) {
    const std::string indent(static_cast<std::size_t>(depth), '\t');
    for (const auto& pair : pairs) {
        out += indent;
        appendQuoted(out, pair.key);
        if (pair.isBlock) {
            out += "\n" + indent + "{\n";
            formatPairs(out, pair.children, depth + 1);
            out += indent + "}\n";
        } else {
            out += "\t\t";
            appendQuoted(out, pair.value);
            out += '\n';
        }
    }
}

}  // namespace

const KeyValue* KeyValue::find(std::string_view childKey) const {
    for (const auto& child : children)
        if (equalsIgnoringCase(child.key, childKey)) return &child;
    return nullptr;
}

std::string_view KeyValue::get(std::string_view childKey) const {
    for (const auto& child : children)
        if (!child.isBlock && equalsIgnoringCase(child.key, childKey)) return child.value;
    return {};
}

std::optional<std::vector<KeyValue>> parseKeyValues(std::string_view text) {
    Parser parser(text);
    std::vector<KeyValue> pairs;
    if (!parser.parsePairs(pairs, 0)) return std::nullopt;
    return pairs;
}

std::string formatKeyValues(const std::vector<KeyValue>& pairs) {
    std::string out;
    formatPairs(out, pairs, 0);
    return out;
}

}  // namespace ludexa
