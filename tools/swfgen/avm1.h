#pragma once

// A tiny assembler for AVM1 bytecode (the body of a DoAction tag), with
// labels so that branch offsets are computed rather than counted by hand.

#include "swfgen.h"

#include <map>
#include <string>
#include <vector>

namespace swfgen {

class ActionBuilder
{
public:
    ActionBuilder &push(const std::string &text);
    ActionBuilder &push(int32_t number);
    ActionBuilder &getVariable() { return op(0x1C); }
    ActionBuilder &setVariable() { return op(0x1D); }
    ActionBuilder &getMember() { return op(0x4E); }
    ActionBuilder &setMember() { return op(0x4F); }
    // Stack before: arguments (last pushed first), count, object, method name.
    ActionBuilder &callMethod() { return op(0x52); }
    ActionBuilder &pop() { return op(0x17); }
    ActionBuilder &logicalNot() { return op(0x12); }
    ActionBuilder &add() { return op(0x47); }
    ActionBuilder &equals() { return op(0x49); }
    ActionBuilder &stop() { return op(0x07); }
    // Zero-based frame index.
    ActionBuilder &gotoFrame(uint16_t frameIndex);
    ActionBuilder &jump(const std::string &label) { return branch(0x99, label); }
    // Pops a value; branches when it is true.
    ActionBuilder &ifTrue(const std::string &label) { return branch(0x9D, label); }
    ActionBuilder &label(const std::string &name);
    // Stack before: URL, target. The flags choose between loading variables
    // (0x80), loading a movie into a clip (0x40) or into a level / window (0).
    ActionBuilder &getUrl2(uint8_t flags) { return withPayload(0x9A, Bytes {flags}); }
    // Stack before: arguments (last pushed first), count, function name.
    ActionBuilder &callFunction() { return op(0x3D); }
    // A function without parameters whose body is what `body` holds.
    ActionBuilder &defineFunction(const std::string &name, const ActionBuilder &body);

    // The bytecode with its end marker; throws on an unknown label.
    Bytes build() const;

private:
    ActionBuilder &op(uint8_t code);
    ActionBuilder &withPayload(uint8_t code, const Bytes &payload);
    ActionBuilder &branch(uint8_t code, const std::string &label);

    struct PendingBranch
    {
        size_t offsetField; // where the 16-bit offset goes
        std::string label;
    };
    Bytes m_code;
    std::map<std::string, size_t> m_labels;
    std::vector<PendingBranch> m_branches;
};

} // namespace swfgen
