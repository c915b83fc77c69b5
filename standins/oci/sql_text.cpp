#include "sql_text.h"

#include <cctype>

#include "ora_error.h"

namespace oradb {
namespace {

enum class Tok { Space, Word, Quoted, String, Number, Bind, Symbol };

struct Token {
    Tok kind;
    std::string_view text;
};

bool IsWordStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsWordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c >= 0x80; }

// Cuts the statement into tokens; blanks and comments are kept as Space
// tokens so the statement is rebuilt as it was written.
std::vector<Token> Tokenize(std::string_view s) {
    std::vector<Token> out;
    size_t i = 0;
    auto take = [&](Tok kind, size_t end) {
        out.push_back({kind, s.substr(i, end - i)});
        i = end;
    };
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t j = i + 1;
        if (std::isspace(c)) {
            while (j < s.size() && std::isspace(static_cast<unsigned char>(s[j]))) ++j;
            take(Tok::Space, j);
        } else if (c == '-' && j < s.size() && s[j] == '-') {
            while (j < s.size() && s[j] != '\n') ++j;
            take(Tok::Space, j);
        } else if (c == '/' && j < s.size() && s[j] == '*') {
            const size_t end = s.find("*/", j + 1);
            take(Tok::Space, end == std::string_view::npos ? s.size() : end + 2);
        } else if (c == '\'') {
            for (;; ++j) {
                if (j >= s.size()) Fail(ora::UnterminatedString);
                if (s[j] == '\'') {
                    if (j + 1 < s.size() && s[j + 1] == '\'') {
                        ++j;
                        continue;
                    }
                    break;
                }
            }
            take(Tok::String, j + 1);
        } else if (c == '"') {
            while (j < s.size() && s[j] != '"') ++j;
            if (j >= s.size()) Fail(ora::MissingDoubleQuote);
            take(Tok::Quoted, j + 1);
        } else if (std::isdigit(c) || (c == '.' && j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))) {
            while (j < s.size() && (std::isdigit(static_cast<unsigned char>(s[j])) || s[j] == '.')) ++j;
            if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
                size_t k = j + 1;
                if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
                if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
                    j = k;
                    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
                }
            }
            take(Tok::Number, j);
        } else if (IsWordStart(c)) {
            while (j < s.size() && IsWordChar(static_cast<unsigned char>(s[j]))) ++j;
            take(Tok::Word, j);
        } else if (c == ':' && j < s.size() &&
                   (IsWordChar(static_cast<unsigned char>(s[j])) || s[j] == '"')) {
            if (s[j] == '"') {
                ++j;
                while (j < s.size() && s[j] != '"') ++j;
                if (j >= s.size()) Fail(ora::MissingDoubleQuote);
                ++j;
            } else {
                while (j < s.size() && IsWordChar(static_cast<unsigned char>(s[j]))) ++j;
            }
            take(Tok::Bind, j);
        } else if ((c == '|' && j < s.size() && s[j] == '|') || ((c == '!' || c == '^' || c == '<' || c == '>') &&
                                                                 j < s.size() && (s[j] == '=' || (c == '<' && s[j] == '>')))) {
            take(Tok::Symbol, j + 1);
        } else {
            take(Tok::Symbol, j);
        }
    }
    return out;
}

bool Is(const Token& t, std::string_view upperWord) {
    if (t.kind != Tok::Word || t.text.size() != upperWord.size()) return false;
    for (size_t i = 0; i < t.text.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(t.text[i])) != upperWord[i]) return false;
    return true;
}

// The next token that is not a blank or a comment, or null.
const Token* NextReal(const std::vector<Token>& toks, size_t i) {
    for (++i; i < toks.size(); ++i)
        if (toks[i].kind != Tok::Space) return &toks[i];
    return nullptr;
}
const Token* PrevReal(const std::vector<Token>& toks, size_t i) {
    while (i-- > 0)
        if (toks[i].kind != Tok::Space) return &toks[i];
    return nullptr;
}

bool IsSymbol(const Token* t, char c) { return t && t->kind == Tok::Symbol && t->text.size() == 1 && t->text[0] == c; }

}  // namespace

std::string UpperName(std::string_view name) {
    std::string r(name);
    for (auto& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

StatementKind KindOf(std::string_view sql) {
    std::vector<Token> toks;
    try {
        toks = Tokenize(sql);
    } catch (const OraError&) {
        return StatementKind::Other;
    }
    for (const Token& t : toks) {
        if (t.kind == Tok::Space || IsSymbol(&t, '(')) continue;
        if (Is(t, "SELECT") || Is(t, "WITH")) return StatementKind::Select;
        if (Is(t, "UPDATE")) return StatementKind::Update;
        if (Is(t, "DELETE")) return StatementKind::Delete;
        if (Is(t, "INSERT")) return StatementKind::Insert;
        if (Is(t, "CREATE")) return StatementKind::Create;
        if (Is(t, "DROP")) return StatementKind::Drop;
        if (Is(t, "ALTER")) return StatementKind::Alter;
        if (Is(t, "BEGIN")) return StatementKind::Begin;
        if (Is(t, "DECLARE")) return StatementKind::Declare;
        if (Is(t, "COMMIT")) return StatementKind::Commit;
        if (Is(t, "ROLLBACK")) return StatementKind::Rollback;
        return StatementKind::Other;
    }
    return StatementKind::Other;
}

TranslatedSql TranslateSql(std::string_view sql, std::string_view schema) {
    TranslatedSql r;
    r.kind = KindOf(sql);
    const std::vector<Token> toks = Tokenize(sql);
    std::string& out = r.sqlite;
    out.reserve(sql.size() + 16);
    for (size_t i = 0; i < toks.size(); ++i) {
        const Token& t = toks[i];
        const Token* next = NextReal(toks, i);
        const Token* prev = PrevReal(toks, i);
        switch (t.kind) {
        case Tok::Space:
        case Tok::Number:
        case Tok::Quoted:
            out += t.text;
            break;
        case Tok::String:
            // Oracle has no empty string: '' is NULL.
            out += t.text == "''" ? std::string_view("NULL") : t.text;
            break;
        case Tok::Bind: {
            std::string name = t.text[1] == '"' ? std::string(t.text.substr(2, t.text.size() - 3))
                                                 : UpperName(t.text.substr(1));
            bool known = false;
            for (const auto& b : r.binds) known = known || b == name;
            if (!known) r.binds.push_back(name);
            out += ':';
            out += name;
            break;
        }
        case Tok::Symbol:
            if (t.text == ";") Fail(ora::InvalidCharacter);
            out += t.text == "^=" ? std::string_view("!=") : t.text;
            break;
        case Tok::Word: {
            const std::string word = UpperName(t.text);
            const bool qualified = IsSymbol(prev, '.');
            const bool qualifies = IsSymbol(next, '.');
            if (qualifies && !qualified) {
                // SCHEMA.TABLE: the session's own schema is SQLite's main.
                if (word == schema) {
                    out += "main";
                    break;
                }
                r.qualifiers.insert(word);
            }
            if (!qualified && !qualifies && word == "SYSDATE") {
                out += "SYSDATE()";
            } else if (!qualified && !qualifies && word == "USER" && !IsSymbol(next, '(')) {
                out += "ORA_USER()";
            } else {
                if (!qualified && word == "DUAL") r.usesDual = true;
                if (!qualified && word == "USER_TABLES") r.usesUserTables = true;
                out += word;
            }
            break;
        }
        }
    }
    return r;
}

}  // namespace oradb
