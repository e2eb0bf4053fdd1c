// One typed line: a setting of a rule ("D 2.5", "upper C 1 over D 2") or a
// calculation to work on it ("3.7*4.2/1.9", "sqrt(50)", "1.05^12"), parsed
// into a record the planner and the command line share.
#pragma once

#include <string>
#include <vector>

enum class NodeKind { Number, Negate, Add, Subtract, Multiply, Divide, Power, Function };

enum class FunctionKind { Sqrt, Cbrt, Sin, Cos, Tan, Log, Ln, Exp };

// One node of a calculation's tree. The nodes live in Command::nodes and
// point at their operands by index there.
struct CalcNode {
    NodeKind kind = NodeKind::Number;
    double value = 0.0;  // Number: its value
    std::string text;    // Number: as typed ("3.7", "pi", "e")
    FunctionKind function = FunctionKind::Sqrt;
    int left = -1;   // the operand of Negate and Function, the left of the others
    int right = -1;  // the right operand of Add ... Power
    int column = 0;  // where it was typed, from 1
};

enum class CommandKind { Empty, HairlineSetting, SlideSetting, Calculation };

struct Command {
    CommandKind kind = CommandKind::Empty;
    int rule = -1;  // 0 upper, 1 lower, -1 the rule last used
    // HairlineSetting: the hairline over `value` on `scale`. SlideSetting:
    // the slide moved so that `value` on `scale` stands over `otherValue` on
    // `otherScale` (one of the two on the slide, the other on the body).
    // Names as typed; the rule they are set on resolves them.
    std::string scale;
    double value = 0.0;
    std::string otherScale;
    double otherValue = 0.0;
    // Calculation: the tree, its root, and the line as typed (without the
    // rule's word).
    std::vector<CalcNode> nodes;
    int root = -1;
    std::string text;
};

// The longest line read: enough for any calculation a rule can work, and a
// bound on how deeply a line can nest (parsing and evaluating recurse).
constexpr size_t COMMAND_MAX_LENGTH = 200;

// Parses one line. On a mistake false, with *error one line naming it
// ("unexpected ')' at 5"); *command is then left unspecified. A blank line
// is an Empty command.
bool ParseCommand(const std::string& line, Command* command, std::string* error);

// The value of a calculation's node (angles in degrees, log to base 10);
// NaN where it has none (sqrt of a negative number, log of 0).
double EvaluateNode(const Command& calculation, int node);
double EvaluateCalculation(const Command& calculation);

// The function's name as typed: "sqrt", "sin".
const char* FunctionName(FunctionKind function);

// A node written back as a short formula: "3.7*4.2/1.9", "sqrt(50)".
std::string NodeText(const Command& calculation, int node);
