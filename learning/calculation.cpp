#include "learning/calculation.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "scales/scales.h"

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double RADIANS_PER_DEGREE = PI / 180.0;

enum class TokenKind { Number, Name, Symbol, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    double value = 0.0;
    int column = 0;  // from 1
};

struct FunctionEntry {
    const char* name;
    FunctionKind kind;
};
constexpr FunctionEntry FUNCTIONS[] = {
    {"sqrt", FunctionKind::Sqrt}, {"cbrt", FunctionKind::Cbrt}, {"sin", FunctionKind::Sin},
    {"cos", FunctionKind::Cos},   {"tan", FunctionKind::Tan},   {"log", FunctionKind::Log},
    {"ln", FunctionKind::Ln},     {"exp", FunctionKind::Exp},
};

bool FindFunction(const std::string& name, FunctionKind* kind) {
    for (const FunctionEntry& entry : FUNCTIONS) {
        if (name == entry.name) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

bool IsConstant(const std::string& name) { return name == "pi" || name == "e"; }
double ConstantValue(const std::string& name) { return name == "pi" ? PI : std::exp(1.0); }

// A number as typed: digits with at most one point, then an exponent only
// where digits follow it (so "2e" is 2 and the constant e).
size_t NumberLength(const std::string& line, size_t at) {
    size_t end = at;
    bool point = false;
    while (end < line.size() && (std::isdigit(static_cast<unsigned char>(line[end])) || (line[end] == '.' && !point))) {
        point = point || line[end] == '.';
        ++end;
    }
    if (end < line.size() && (line[end] == 'e' || line[end] == 'E')) {
        size_t digits = end + 1;
        if (digits < line.size() && (line[digits] == '+' || line[digits] == '-')) ++digits;
        if (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) {
            end = digits;
            while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end]))) ++end;
        }
    }
    return end - at;
}

bool Tokenize(const std::string& line, std::vector<Token>* tokens, std::string* error) {
    size_t at = 0;
    while (true) {
        while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
        Token token;
        token.column = static_cast<int>(at) + 1;
        if (at == line.size()) {
            tokens->push_back(token);
            return true;
        }
        const unsigned char c = static_cast<unsigned char>(line[at]);
        if (std::isdigit(c) || c == '.') {
            const size_t length = NumberLength(line, at);
            token.kind = TokenKind::Number;
            token.text = line.substr(at, length);
            char* end = nullptr;
            token.value = std::strtod(token.text.c_str(), &end);
            if (token.text == "." || *end != '\0') {
                *error = "malformed number '" + token.text + "' at " + std::to_string(token.column);
                return false;
            }
            at += length;
        } else if (std::isalpha(c)) {
            size_t end = at;
            while (end < line.size() && std::isalnum(static_cast<unsigned char>(line[end]))) ++end;
            token.kind = TokenKind::Name;
            token.text = line.substr(at, end - at);
            at = end;
        } else if (std::string("+-*/^()").find(static_cast<char>(c)) != std::string::npos) {
            token.kind = TokenKind::Symbol;
            token.text = std::string(1, static_cast<char>(c));
            ++at;
        } else {
            *error = "unexpected '" + std::string(1, static_cast<char>(c)) + "' at " + std::to_string(token.column);
            return false;
        }
        tokens->push_back(token);
    }
}

struct Parser {
    const std::vector<Token>* tokens = nullptr;
    size_t next = 0;
    Command* command = nullptr;
    std::string* error = nullptr;
};

const Token& Peek(const Parser& p) { return (*p.tokens)[p.next]; }
bool IsSymbol(const Token& token, char symbol) {
    return token.kind == TokenKind::Symbol && token.text[0] == symbol;
}

bool Unexpected(Parser* p) {
    const Token& token = Peek(*p);
    if (token.kind == TokenKind::End) {
        const Token& last = (*p->tokens)[p->next - (p->next > 0 ? 1 : 0)];
        *p->error = p->next == 0 ? "nothing to work out"
                                 : "the line ends after '" + last.text + "'; a number should follow";
    } else {
        *p->error = "unexpected '" + token.text + "' at " + std::to_string(token.column);
    }
    return false;
}

int AddNode(Parser* p, const CalcNode& node) {
    p->command->nodes.push_back(node);
    return static_cast<int>(p->command->nodes.size()) - 1;
}

bool ParseSum(Parser* p, int* node);

bool ParsePrimary(Parser* p, int* node) {
    const Token token = Peek(*p);
    CalcNode made;
    made.column = token.column;
    if (token.kind == TokenKind::Number || (token.kind == TokenKind::Name && IsConstant(token.text))) {
        ++p->next;
        made.kind = NodeKind::Number;
        made.text = token.text;
        made.value = token.kind == TokenKind::Number ? token.value : ConstantValue(token.text);
        *node = AddNode(p, made);
        return true;
    }
    if (token.kind == TokenKind::Name) {
        if (!FindFunction(token.text, &made.function)) {
            *p->error = "unknown name '" + token.text + "' at " + std::to_string(token.column) +
                        "; a calculation knows pi, e, sqrt cbrt sin cos tan log ln exp";
            return false;
        }
        ++p->next;
        if (!IsSymbol(Peek(*p), '(')) {
            *p->error = "'" + token.text + "' at " + std::to_string(token.column) + " needs its value in parentheses";
            return false;
        }
        made.kind = NodeKind::Function;
    } else if (!IsSymbol(token, '(')) {
        return Unexpected(p);
    }
    const Token open = Peek(*p);
    ++p->next;
    int inner = -1;
    if (!ParseSum(p, &inner)) return false;
    if (!IsSymbol(Peek(*p), ')')) {
        if (Peek(*p).kind == TokenKind::End) {
            *p->error = "'(' at " + std::to_string(open.column) + " is never closed";
            return false;
        }
        return Unexpected(p);
    }
    ++p->next;
    if (made.kind != NodeKind::Function) {
        *node = inner;
        return true;
    }
    made.left = inner;
    *node = AddNode(p, made);
    return true;
}

bool ParseUnary(Parser* p, int* node);

// Powers bind tighter than a leading minus (-2^2 is -4) and group to the
// right (2^3^2 is 2^9); the exponent may carry its own minus (2^-1).
bool ParsePower(Parser* p, int* node) {
    if (!ParsePrimary(p, node)) return false;
    if (!IsSymbol(Peek(*p), '^')) return true;
    CalcNode made;
    made.kind = NodeKind::Power;
    made.column = Peek(*p).column;
    ++p->next;
    made.left = *node;
    if (!ParseUnary(p, &made.right)) return false;
    *node = AddNode(p, made);
    return true;
}

bool ParseUnary(Parser* p, int* node) {
    if (!IsSymbol(Peek(*p), '-')) return ParsePower(p, node);
    CalcNode made;
    made.kind = NodeKind::Negate;
    made.column = Peek(*p).column;
    ++p->next;
    if (!ParseUnary(p, &made.left)) return false;
    *node = AddNode(p, made);
    return true;
}

bool ParseBinary(Parser* p, int* node, const char* symbols, NodeKind first, NodeKind second,
                 bool (*operand)(Parser*, int*)) {
    if (!operand(p, node)) return false;
    while (IsSymbol(Peek(*p), symbols[0]) || IsSymbol(Peek(*p), symbols[1])) {
        CalcNode made;
        made.kind = IsSymbol(Peek(*p), symbols[0]) ? first : second;
        made.column = Peek(*p).column;
        ++p->next;
        made.left = *node;
        if (!operand(p, &made.right)) return false;
        *node = AddNode(p, made);
    }
    return true;
}

bool ParseProduct(Parser* p, int* node) {
    return ParseBinary(p, node, "*/", NodeKind::Multiply, NodeKind::Divide, ParseUnary);
}

bool ParseSum(Parser* p, int* node) {
    return ParseBinary(p, node, "+-", NodeKind::Add, NodeKind::Subtract, ParseProduct);
}

// A word that may name a scale: any catalogue name in any case, or any
// other word that is neither a function nor a constant (the rule it is set
// on says whether it has such a scale).
bool MayNameScale(const Token& token) {
    FunctionKind unused;
    return token.kind == TokenKind::Name && !IsConstant(token.text) && !FindFunction(token.text, &unused);
}

bool SameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k) {
        const int x = std::toupper(static_cast<unsigned char>(a[k]));
        if (x != std::toupper(static_cast<unsigned char>(b[k]))) return false;
    }
    return true;
}

// Whether the catalogue has a scale of that name in any case.
bool NamesCatalogueScale(const std::string& word) {
    std::istringstream names(KnownScaleNames());
    for (std::string name; names >> name;) {
        if (SameLetters(name, word)) return true;
    }
    return false;
}

bool IsSettingValue(const Token& token) {
    return token.kind == TokenKind::Number || (token.kind == TokenKind::Name && IsConstant(token.text));
}

double SettingValue(const Token& token) {
    return token.kind == TokenKind::Number ? token.value : ConstantValue(token.text);
}

// "SCALE VALUE" or "SCALE VALUE over SCALE VALUE" from token `at` on.
bool ParseSetting(const std::vector<Token>& tokens, size_t at, Command* command, std::string* error) {
    command->kind = CommandKind::HairlineSetting;
    command->scale = tokens[at].text;
    command->value = SettingValue(tokens[at + 1]);
    at += 2;
    if (tokens[at].kind == TokenKind::Name && tokens[at].text == "over") {
        if (!MayNameScale(tokens[at + 1]) || !IsSettingValue(tokens[at + 2])) {
            *error = "'over' at " + std::to_string(tokens[at].column) +
                     " needs a scale and a value after it, as in C 1 over D 2";
            return false;
        }
        command->kind = CommandKind::SlideSetting;
        command->otherScale = tokens[at + 1].text;
        command->otherValue = SettingValue(tokens[at + 2]);
        at += 3;
    }
    if (tokens[at].kind != TokenKind::End) {
        *error = "unexpected '" + tokens[at].text + "' at " + std::to_string(tokens[at].column);
        return false;
    }
    return true;
}

}  // namespace

bool ParseCommand(const std::string& line, Command* command, std::string* error) {
    *command = Command{};
    if (line.size() > COMMAND_MAX_LENGTH) {
        *error = "a line of at most " + std::to_string(COMMAND_MAX_LENGTH) + " characters, please";
        return false;
    }
    std::vector<Token> tokens;
    if (!Tokenize(line, &tokens, error)) return false;
    size_t at = 0;
    if (tokens[0].kind == TokenKind::Name && (tokens[0].text == "upper" || tokens[0].text == "lower")) {
        command->rule = tokens[0].text == "upper" ? 0 : 1;
        at = 1;
        if (tokens[1].kind == TokenKind::End) {
            *error = "'" + tokens[0].text + "' needs a setting or a calculation after it";
            return false;
        }
    }
    if (tokens[at].kind == TokenKind::End) return true;
    if (MayNameScale(tokens[at]) && IsSettingValue(tokens[at + 1])) return ParseSetting(tokens, at, command, error);
    if (MayNameScale(tokens[at]) && NamesCatalogueScale(tokens[at].text)) {
        *error = "'" + tokens[at].text + "' needs a value after it, as in '" + tokens[at].text + " 2.5'";
        return false;
    }
    command->kind = CommandKind::Calculation;
    command->text = line.substr(static_cast<size_t>(tokens[at].column) - 1);
    while (!command->text.empty() && std::isspace(static_cast<unsigned char>(command->text.back()))) {
        command->text.pop_back();
    }
    Parser parser;
    parser.tokens = &tokens;
    parser.next = at;
    parser.command = command;
    parser.error = error;
    if (!ParseSum(&parser, &command->root)) return false;
    if (Peek(parser).kind != TokenKind::End) return Unexpected(&parser);
    return true;
}

double EvaluateNode(const Command& calculation, int index) {
    if (index < 0 || index >= static_cast<int>(calculation.nodes.size())) return std::nan("");
    const CalcNode& node = calculation.nodes[static_cast<size_t>(index)];
    const double a = node.left >= 0 ? EvaluateNode(calculation, node.left) : 0.0;
    const double b = node.right >= 0 ? EvaluateNode(calculation, node.right) : 0.0;
    switch (node.kind) {
    case NodeKind::Number: return node.value;
    case NodeKind::Negate: return -a;
    case NodeKind::Add: return a + b;
    case NodeKind::Subtract: return a - b;
    case NodeKind::Multiply: return a * b;
    case NodeKind::Divide: return b == 0.0 ? std::nan("") : a / b;
    case NodeKind::Power: return std::pow(a, b);
    case NodeKind::Function: break;
    }
    switch (node.function) {
    case FunctionKind::Sqrt: return std::sqrt(a);
    case FunctionKind::Cbrt: return std::cbrt(a);
    case FunctionKind::Sin: return std::sin(a * RADIANS_PER_DEGREE);
    case FunctionKind::Cos: return std::cos(a * RADIANS_PER_DEGREE);
    case FunctionKind::Tan: return std::tan(a * RADIANS_PER_DEGREE);
    case FunctionKind::Log: return a > 0.0 ? std::log10(a) : std::nan("");
    case FunctionKind::Ln: return a > 0.0 ? std::log(a) : std::nan("");
    case FunctionKind::Exp: return std::exp(a);
    }
    return std::nan("");
}

double EvaluateCalculation(const Command& calculation) { return EvaluateNode(calculation, calculation.root); }

const char* FunctionName(FunctionKind function) {
    for (const FunctionEntry& entry : FUNCTIONS) {
        if (entry.kind == function) return entry.name;
    }
    return "?";
}

namespace {

// How tightly a node binds, for parentheses when written back.
int Binding(const CalcNode& node) {
    switch (node.kind) {
    case NodeKind::Add:
    case NodeKind::Subtract: return 1;
    case NodeKind::Multiply:
    case NodeKind::Divide: return 2;
    case NodeKind::Negate: return 3;
    case NodeKind::Power: return 4;
    default: return 5;
    }
}

}  // namespace

std::string NodeText(const Command& calculation, int index) {
    if (index < 0 || index >= static_cast<int>(calculation.nodes.size())) return "";
    const CalcNode& node = calculation.nodes[static_cast<size_t>(index)];
    if (node.kind == NodeKind::Number) return node.text;
    if (node.kind == NodeKind::Function) {
        return std::string(FunctionName(node.function)) + "(" + NodeText(calculation, node.left) + ")";
    }
    const auto operand = [&](int child, bool rightSide) {
        const CalcNode& inner = calculation.nodes[static_cast<size_t>(child)];
        const bool wrap = Binding(inner) < Binding(node) ||
                          (rightSide && Binding(inner) == Binding(node) && node.kind != NodeKind::Power) ||
                          (!rightSide && node.kind == NodeKind::Power && Binding(inner) == Binding(node));
        const std::string text = NodeText(calculation, child);
        return wrap ? "(" + text + ")" : text;
    };
    if (node.kind == NodeKind::Negate) return "-" + operand(node.left, true);
    const char* symbols = "+-*/^";
    const char symbol = symbols[static_cast<int>(node.kind) - static_cast<int>(NodeKind::Add)];
    return operand(node.left, false) + symbol + operand(node.right, true);
}
