#include "avm1.h"

#include <stdexcept>

namespace swfgen {

namespace {
enum PushType : uint8_t { kPushString = 0, kPushInteger = 7 };
}

ActionBuilder &ActionBuilder::op(uint8_t code)
{
    m_code.push_back(code);
    return *this;
}

ActionBuilder &ActionBuilder::withPayload(uint8_t code, const Bytes &payload)
{
    m_code.push_back(code);
    m_code.push_back(uint8_t(payload.size()));
    m_code.push_back(uint8_t(payload.size() >> 8));
    m_code.insert(m_code.end(), payload.begin(), payload.end());
    return *this;
}

ActionBuilder &ActionBuilder::push(const std::string &text)
{
    Bytes payload {kPushString};
    payload.insert(payload.end(), text.begin(), text.end());
    payload.push_back(0);
    return withPayload(0x96, payload);
}

ActionBuilder &ActionBuilder::push(int32_t number)
{
    const auto bits = uint32_t(number);
    return withPayload(0x96,
                       {kPushInteger, uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16),
                        uint8_t(bits >> 24)});
}

ActionBuilder &ActionBuilder::gotoFrame(uint16_t frameIndex)
{
    return withPayload(0x81, {uint8_t(frameIndex), uint8_t(frameIndex >> 8)});
}

ActionBuilder &ActionBuilder::branch(uint8_t code, const std::string &label)
{
    withPayload(code, {0, 0});
    m_branches.push_back({m_code.size() - 2, label});
    return *this;
}

ActionBuilder &ActionBuilder::defineFunction(const std::string &name, const ActionBuilder &body)
{
    Bytes code = body.build();
    code.pop_back(); // a function body has no end marker of its own
    Bytes payload(name.begin(), name.end());
    payload.insert(payload.end(), {0, 0, 0, uint8_t(code.size()), uint8_t(code.size() >> 8)});
    withPayload(0x9B, payload);
    m_code.insert(m_code.end(), code.begin(), code.end());
    return *this;
}

ActionBuilder &ActionBuilder::label(const std::string &name)
{
    if (!m_labels.emplace(name, m_code.size()).second)
        throw std::invalid_argument("label defined twice: " + name);
    return *this;
}

Bytes ActionBuilder::build() const
{
    Bytes code = m_code;
    for (const PendingBranch &branch : m_branches) {
        const auto target = m_labels.find(branch.label);
        if (target == m_labels.end())
            throw std::invalid_argument("unknown label: " + branch.label);
        // Offsets count from the end of the branch action.
        const long offset = long(target->second) - long(branch.offsetField + 2);
        if (offset < -32768 || offset > 32767)
            throw std::invalid_argument("branch too far: " + branch.label);
        code[branch.offsetField] = uint8_t(offset);
        code[branch.offsetField + 1] = uint8_t(uint16_t(offset) >> 8);
    }
    code.push_back(0); // end of actions
    return code;
}

} // namespace swfgen
