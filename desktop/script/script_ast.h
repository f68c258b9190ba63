#pragma once

#include <memory>
#include <string>
#include <vector>

#include "desktop/script/script_value.h"

namespace orvex::script {

struct Expr;
struct Stmt;
using ExprPtr = std::unique_ptr<Expr>;
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

enum class BinaryOp {
    orOp,
    andOp,
    equal,
    notEqual,
    less,
    greater,
    lessOrEqual,
    greaterOrEqual,
    contains,
    notContains,
    isIn,
    notIn,
    startsWith,
    endsWith,
    concat,
    add,
    subtract,
    multiply,
    divide,
    intDivide,
    modulo,
    power,
};

enum class UnaryOp { notOp, negate, plus };

// How an element or property is picked out of its container.
enum class SpecifierForm {
    property,  // name of x
    index,     // window 1, tab i, process "Terminal" (a text selector picks by name)
    name,      // window named "x"
    id,        // window id 3
    every,     // every tab, tabs
};

struct Expr {
    enum class Kind {
        literal,      // value
        list,         // items
        record,       // keys, items
        term,         // name: a variable, or a property of the tell target
        application,  // application <a>
        specifier,    // form, name (property or class), a = selector, b = container or null
        binary,       // binaryOp, a, b
        unary,        // unaryOp, a
        coerce,       // a as name
        count,        // count of a
        command,      // name ("activate", "keystroke", "key code"), a = direct or null, b = using
        makeNew,      // make new name, a = properties or null, b = at or null
        shell,        // do shell script a
    };
    Kind kind = Kind::literal;
    int line = 0;
    Value value;
    std::string name;
    std::string display;
    SpecifierForm form = SpecifierForm::property;
    BinaryOp binaryOp = BinaryOp::equal;
    UnaryOp unaryOp = UnaryOp::notOp;
    std::vector<ExprPtr> items;
    std::vector<std::string> keys;
    ExprPtr a;
    ExprPtr b;
};

struct Stmt {
    enum class Kind {
        expression,   // a
        set,          // a (target) to b
        tell,         // a, body
        ifChain,      // conditions[i] -> branches[i]; elseBody
        repeatLoop,   // body (until exit repeat)
        repeatTimes,  // a times
        repeatWhile,  // a
        repeatUntil,  // a
        repeatIn,     // variable in a
        repeatRange,  // variable from a to b by c
        exitRepeat,
        returnValue,  // a or null
        delay,        // a or null
        tryBlock,     // body, on error [variable] elseBody
        raise,        // error a number b
    };
    Kind kind = Kind::expression;
    int line = 0;
    ExprPtr a;
    ExprPtr b;
    ExprPtr c;
    std::string variable;
    std::vector<ExprPtr> conditions;
    std::vector<Block> branches;
    Block body;
    Block elseBody;
};

struct Script {
    Block body;
};

}  // namespace orvex::script
