// The action codes of ActionScript 1 and 2 (SWF 3 to 8), each once, by the
// name the SWF file format gives it without its "Action"
// prefix (ActionPushDuplicate is PushDuplicate). The one list is expanded
// into the enum, the names, the interpreter's dispatch and the tests'
// assembler; a code is written nowhere else.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace dc::swf::avm1 {

// The interpreter's families, one per group of its dispatch.
enum class ActionFamily : std::uint8_t {
  Unknown,   // a code the file format does not define
  End,       // the end of a block
  Timeline,  // frames, targets and what has no way out (GetURL)
  Stack,     // the operand stack, arithmetic, strings, conversions
  Branch,    // Jump and If
  Variable,  // variables, members, the constant pool, enumeration
  Function,  // functions, calls, constructors, classes, throw
  Nested,    // the records with bodies that run as nested ranges: With, Try
  Clip,      // clip actions: properties, duplicates, removal, drags
};

// DC_AVM1_ACTIONS(ACTION) expands ACTION(Name, code, Family) for every
// action, by code. Codes from 0x80 up carry a length and a payload.
#define DC_AVM1_ACTIONS(ACTION)                     \
  ACTION(End, 0x00, End) /* the ActionEndFlag */    \
  ACTION(NextFrame, 0x04, Timeline)                 \
  ACTION(PreviousFrame, 0x05, Timeline)             \
  ACTION(Play, 0x06, Timeline)                      \
  ACTION(Stop, 0x07, Timeline)                      \
  ACTION(ToggleQuality, 0x08, Timeline)             \
  ACTION(StopSounds, 0x09, Timeline)                \
  ACTION(Add, 0x0A, Stack)                          \
  ACTION(Subtract, 0x0B, Stack)                     \
  ACTION(Multiply, 0x0C, Stack)                     \
  ACTION(Divide, 0x0D, Stack)                       \
  ACTION(Equals, 0x0E, Stack)                       \
  ACTION(Less, 0x0F, Stack)                         \
  ACTION(And, 0x10, Stack)                          \
  ACTION(Or, 0x11, Stack)                           \
  ACTION(Not, 0x12, Stack)                          \
  ACTION(StringEquals, 0x13, Stack)                 \
  ACTION(StringLength, 0x14, Stack)                 \
  ACTION(StringExtract, 0x15, Stack)                \
  ACTION(Pop, 0x17, Stack)                          \
  ACTION(ToInteger, 0x18, Stack)                    \
  ACTION(GetVariable, 0x1C, Variable)               \
  ACTION(SetVariable, 0x1D, Variable)               \
  ACTION(SetTarget2, 0x20, Timeline)                \
  ACTION(StringAdd, 0x21, Stack)                    \
  ACTION(GetProperty, 0x22, Clip)                   \
  ACTION(SetProperty, 0x23, Clip)                   \
  ACTION(CloneSprite, 0x24, Clip)                   \
  ACTION(RemoveSprite, 0x25, Clip)                  \
  ACTION(Trace, 0x26, Stack)                        \
  ACTION(StartDrag, 0x27, Clip)                     \
  ACTION(EndDrag, 0x28, Clip)                       \
  ACTION(StringLess, 0x29, Stack)                   \
  ACTION(Throw, 0x2A, Function)                     \
  ACTION(CastOp, 0x2B, Function)                    \
  ACTION(ImplementsOp, 0x2C, Function)              \
  ACTION(RandomNumber, 0x30, Stack)                 \
  ACTION(MBStringLength, 0x31, Stack)               \
  ACTION(CharToAscii, 0x32, Stack)                  \
  ACTION(AsciiToChar, 0x33, Stack)                  \
  ACTION(GetTime, 0x34, Stack)                      \
  ACTION(MBStringExtract, 0x35, Stack)              \
  ACTION(MBCharToAscii, 0x36, Stack)                \
  ACTION(MBAsciiToChar, 0x37, Stack)                \
  ACTION(Delete, 0x3A, Variable)                    \
  ACTION(Delete2, 0x3B, Variable)                   \
  ACTION(DefineLocal, 0x3C, Variable)               \
  ACTION(CallFunction, 0x3D, Function)              \
  ACTION(Return, 0x3E, Function)                    \
  ACTION(Modulo, 0x3F, Stack)                       \
  ACTION(NewObject, 0x40, Function)                 \
  ACTION(DefineLocal2, 0x41, Variable)              \
  ACTION(InitArray, 0x42, Variable)                 \
  ACTION(InitObject, 0x43, Variable)                \
  ACTION(TypeOf, 0x44, Stack)                       \
  ACTION(TargetPath, 0x45, Stack)                   \
  ACTION(Enumerate, 0x46, Variable)                 \
  ACTION(Add2, 0x47, Stack)                         \
  ACTION(Less2, 0x48, Stack)                        \
  ACTION(Equals2, 0x49, Stack)                      \
  ACTION(ToNumber, 0x4A, Stack)                     \
  ACTION(ToString, 0x4B, Stack)                     \
  ACTION(PushDuplicate, 0x4C, Stack)                \
  ACTION(StackSwap, 0x4D, Stack)                    \
  ACTION(GetMember, 0x4E, Variable)                 \
  ACTION(SetMember, 0x4F, Variable)                 \
  ACTION(Increment, 0x50, Stack)                    \
  ACTION(Decrement, 0x51, Stack)                    \
  ACTION(CallMethod, 0x52, Function)                \
  ACTION(NewMethod, 0x53, Function)                 \
  ACTION(InstanceOf, 0x54, Function)                \
  ACTION(Enumerate2, 0x55, Variable)                \
  ACTION(BitAnd, 0x60, Stack)                       \
  ACTION(BitOr, 0x61, Stack)                        \
  ACTION(BitXor, 0x62, Stack)                       \
  ACTION(BitLShift, 0x63, Stack)                    \
  ACTION(BitRShift, 0x64, Stack)                    \
  ACTION(BitURShift, 0x65, Stack)                   \
  ACTION(StrictEquals, 0x66, Stack)                 \
  ACTION(Greater, 0x67, Stack)                      \
  ACTION(StringGreater, 0x68, Stack)                \
  ACTION(Extends, 0x69, Function)                   \
  ACTION(GotoFrame, 0x81, Timeline)                 \
  ACTION(GetURL, 0x83, Timeline)                    \
  ACTION(StoreRegister, 0x87, Stack)                \
  ACTION(ConstantPool, 0x88, Variable)              \
  ACTION(WaitForFrame, 0x8A, Timeline)              \
  ACTION(SetTarget, 0x8B, Timeline)                 \
  ACTION(GoToLabel, 0x8C, Timeline)                 \
  ACTION(WaitForFrame2, 0x8D, Timeline)             \
  ACTION(DefineFunction2, 0x8E, Function)           \
  ACTION(Try, 0x8F, Nested)                         \
  ACTION(With, 0x94, Nested)                        \
  ACTION(Push, 0x96, Stack)                         \
  ACTION(Jump, 0x99, Branch)                        \
  ACTION(GetURL2, 0x9A, Timeline)                   \
  ACTION(DefineFunction, 0x9B, Function)            \
  ACTION(If, 0x9D, Branch)                          \
  ACTION(Call, 0x9E, Timeline)                      \
  ACTION(GotoFrame2, 0x9F, Timeline)

enum class ActionCode : std::uint8_t {
#define DC_AVM1_ACTION_ENUM(name, code, family) name = code,
  DC_AVM1_ACTIONS(DC_AVM1_ACTION_ENUM)
#undef DC_AVM1_ACTION_ENUM
};

namespace action_table {
struct Entry {
  std::string_view name;  // empty: not an action of the file format
  ActionFamily family = ActionFamily::Unknown;
};
constexpr std::array<Entry, 256> Build() {
  std::array<Entry, 256> t{};
  // A code listed twice stops the build here (a throw is no constant).
#define DC_AVM1_ACTION_ENTRY(n, code, f)                      \
  if (!t[code].name.empty()) throw "an action code listed twice"; \
  t[code] = Entry{#n, ActionFamily::f};
  DC_AVM1_ACTIONS(DC_AVM1_ACTION_ENTRY)
#undef DC_AVM1_ACTION_ENTRY
  return t;
}
inline constexpr std::array<Entry, 256> kEntries = Build();
}  // namespace action_table

// The file format's name of a code, without "Action"; empty for a code
// it does not define.
constexpr std::string_view ActionName(std::uint8_t code) { return action_table::kEntries[code].name; }
constexpr std::string_view ActionName(ActionCode code) { return ActionName(static_cast<std::uint8_t>(code)); }
constexpr ActionFamily FamilyOf(std::uint8_t code) { return action_table::kEntries[code].family; }
constexpr bool IsKnownAction(std::uint8_t code) { return FamilyOf(code) != ActionFamily::Unknown; }
// Records from 0x80 up carry a 16-bit length and a payload of that length.
constexpr bool HasPayload(std::uint8_t code) { return code >= 0x80; }

// DefineFunction2's flags, as its two flag bytes read little-endian.
enum Function2Flags : std::uint16_t {
  kPreloadThis = 0x0001,
  kSuppressThis = 0x0002,
  kPreloadArguments = 0x0004,
  kSuppressArguments = 0x0008,
  kPreloadSuper = 0x0010,
  kSuppressSuper = 0x0020,
  kPreloadRoot = 0x0040,
  kPreloadParent = 0x0080,
  kPreloadGlobal = 0x0100,
};

}  // namespace dc::swf::avm1
