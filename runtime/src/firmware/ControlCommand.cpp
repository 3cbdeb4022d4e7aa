#include "firmware/ControlCommand.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kvor::zephrin::runtime::firmware {
namespace {

constexpr std::string_view kPrefix = "c_kvor_zephrin6_RequestControl";

// The device's ControlMode numbers: the neutral states, then one block of
// seven per output kind (open loop, position, velocity and the four profiled
// modes), the followers, the differential requests and music.
constexpr int kModeNeutral = 1;
constexpr int kModeStaticBrake = 2;
constexpr int kModeCoast = 3;
constexpr int kModeFirstOutput = 4;
constexpr int kModesPerKind = 7;
constexpr int kModeFollower = 25;
constexpr int kModeFirstDifferential = 29;
constexpr int kModeMusic = 37;
// The device's DifferentialControlMode numbers: one block of four per output
// kind (open loop, position, velocity, profile), then the followers.
constexpr int kDiffModeFirstOutput = 4;
constexpr int kDiffModeFollower = 16;

constexpr int kAbsent = -1;

// Where the fields of one axis sit among a call's arguments.
struct AxisFields {
  int output = kAbsent, position = kAbsent, velocity = kAbsent, acceleration = kAbsent, jerk = kAbsent,
      feedForward = kAbsent, slot = kAbsent;
};

// Everything known about a request before its call arrives: the command it
// gives with every number at zero, and where its numbers are found.
struct Layout {
  ControlCommand shape;
  AxisFields average, difference;
  int enableFoc = kAbsent, overrideBrake = kAbsent, overrideCoast = kAbsent, limitForward = kAbsent,
      limitReverse = kAbsent, ignoreHardwareLimits = kAbsent, maxAbsDutyCycle = kAbsent, deadband = kAbsent,
      leaderId = kAbsent, opposeLeader = kAbsent;
  // Whether the call carries a field of the difference axis (set once the
  // layout is complete): most requests have none, and the shape's difference
  // numbers are then the zeros a decode would write.
  bool differenceFields = false;
  // How many arguments a call needs for every field to be among them (set
  // once the layout is complete): a call of the request's own entry point
  // always has them.
  std::size_t argsNeeded = 1;
};

std::size_t ArgsNeeded(const Layout& l) {
  const auto& a = l.average;
  const auto& d = l.difference;
  const int most = std::max({a.output, a.position, a.velocity, a.acceleration, a.jerk, a.feedForward, a.slot,
                             d.output, d.position, d.velocity, d.acceleration, d.jerk, d.feedForward, d.slot,
                             l.enableFoc, l.overrideBrake, l.overrideCoast, l.limitForward, l.limitReverse,
                             l.ignoreHardwareLimits, l.maxAbsDutyCycle, l.deadband, l.leaderId, l.opposeLeader, 0});
  return static_cast<std::size_t>(most) + 1;
}

bool HasFields(const AxisFields& f) {
  return f.output != kAbsent || f.position != kAbsent || f.velocity != kAbsent || f.acceleration != kAbsent ||
         f.jerk != kAbsent || f.feedForward != kAbsent || f.slot != kAbsent;
}

// The field names of one request, in argument order.
using FieldNames = std::vector<std::string>;

FieldNames SplitFields(std::string_view text) {
  FieldNames out;
  while (!text.empty()) {
    const size_t comma = text.find(',');
    out.emplace_back(text.substr(0, comma));
    text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
  }
  return out;
}

// Argument index of `field` when the request's fields start at `first`.
int IndexOf(const FieldNames& fields, std::string_view field, int first) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i] == field) return first + static_cast<int>(i);
  }
  return kAbsent;
}

bool KindOf(std::string_view name, OutputKind& kind) {
  if (name.ends_with("TorqueCurrentFOC")) kind = OutputKind::TorqueCurrent;
  else if (name.ends_with("Voltage") || name.ends_with("VoltageOut")) kind = OutputKind::Voltage;
  else if (name.ends_with("DutyCycle") || name.ends_with("DutyCycleOut")) kind = OutputKind::DutyCycle;
  else return false;
  return true;
}

// The loop of a request of one output kind, and its place in the kind's
// block of modes.
Loop LoopOf(std::string_view name, int& index) {
  struct Prefix {
    std::string_view text;
    Loop loop;
    int index;
  };
  // Longest prefixes first: "KinetraVelocity" before "Kinetra".
  static constexpr Prefix kPrefixes[] = {
      {"KinetraVelocity", Loop::VelocityProfile, 4}, {"KinetraExpo", Loop::ExpoProfile, 5},
      {"DynamicKinetra", Loop::DynamicProfile, 6},   {"Kinetra", Loop::Profile, 3},
      {"Position", Loop::Position, 1},               {"Velocity", Loop::Velocity, 2},
  };
  for (const Prefix& p : kPrefixes) {
    if (name.starts_with(p.text)) {
      index = p.index;
      return p.loop;
    }
  }
  index = 0;
  return Loop::Open;
}

// A differential axis's place in its kind's block of DifferentialControlModes.
int DifferentialIndex(Loop loop) {
  switch (loop) {
    case Loop::Position: return 1;
    case Loop::Velocity: return 2;
    case Loop::Profile: return 3;
    default: return 0;
  }
}

AxisFields PlainAxis(const FieldNames& fields, int first) {
  AxisFields a;
  a.output = IndexOf(fields, "Output", first);
  a.position = IndexOf(fields, "Position", first);
  a.velocity = IndexOf(fields, "Velocity", first);
  a.acceleration = IndexOf(fields, "Acceleration", first);
  a.jerk = IndexOf(fields, "Jerk", first);
  a.feedForward = IndexOf(fields, "FeedForward", first);
  a.slot = IndexOf(fields, "Slot", first);
  return a;
}

void ReadOptions(const FieldNames& fields, int first, Layout& layout) {
  layout.enableFoc = IndexOf(fields, "EnableFOC", first);
  layout.overrideBrake = IndexOf(fields, "OverrideBrakeDurNeutral", first);
  layout.overrideCoast = IndexOf(fields, "OverrideCoastDurNeutral", first);
  layout.limitForward = IndexOf(fields, "LimitForwardMotion", first);
  layout.limitReverse = IndexOf(fields, "LimitReverseMotion", first);
  layout.ignoreHardwareLimits = IndexOf(fields, "IgnoreHardwareLimits", first);
  layout.maxAbsDutyCycle = IndexOf(fields, "MaxAbsDutyCycle", first);
  layout.deadband = IndexOf(fields, "Deadband", first);
}

// One axis of the three output kinds (a plain request or a compound member).
bool AxisShape(std::string_view name, Setpoint& axis, OutputKind& kind, int& mode) {
  if (!KindOf(name, kind)) return false;
  int index = 0;
  axis.loop = LoopOf(name, index);
  mode = kModeFirstOutput + static_cast<int>(kind) * kModesPerKind + index;
  return true;
}

bool DifferentialShape(std::string_view name, const FieldNames& fields, Layout& layout) {
  ControlCommand& c = layout.shape;
  const std::string_view rest = name.substr(std::string_view("Differential").size());
  int index = 0;
  if (rest.starts_with("Position")) {
    c.average.loop = Loop::Position;
    index = 1;
  } else if (rest.starts_with("Velocity")) {
    c.average.loop = Loop::Velocity;
    index = 2;
  } else if (rest.starts_with("Kinetra")) {
    c.average.loop = Loop::Profile;
    index = 3;
  } else {
    c.average.loop = Loop::Open;
  }
  if (!KindOf(name, c.kind) || c.kind == OutputKind::TorqueCurrent) return false;
  c.difference.loop = Loop::Position;
  c.controlMode = kModeFirstDifferential + 2 * index + (c.kind == OutputKind::Voltage ? 1 : 0);
  c.differentialControlMode = kDiffModeFirstOutput + 4 * static_cast<int>(c.kind) + 1;
  layout.average.output = IndexOf(fields, "AverageOutput", 1);
  layout.average.position = IndexOf(fields, "AveragePosition", 1);
  layout.average.velocity = IndexOf(fields, "AverageVelocity", 1);
  layout.average.slot = IndexOf(fields, "AverageSlot", 1);
  layout.difference.position = IndexOf(fields, "DifferentialPosition", 1);
  layout.difference.slot = IndexOf(fields, "DifferentialSlot", 1);
  return true;
}

bool SingleLayout(std::string_view name, const FieldNames& fields, Layout& layout) {
  ControlCommand& c = layout.shape;
  ReadOptions(fields, 1, layout);
  if (name == "NeutralOut") {
    c.action = Action::Neutral;
    c.controlMode = kModeNeutral;
  } else if (name == "CoastOut") {
    c.action = Action::Coast;
    c.controlMode = kModeCoast;
  } else if (name == "StaticBrake") {
    c.action = Action::Brake;
    c.controlMode = kModeStaticBrake;
  } else if (name == "MusicTone") {
    c.action = Action::Music;
    c.controlMode = kModeMusic;
  } else if (name.ends_with("Follower")) {
    c.action = Action::Follow;
    c.strictFollower = name.find("Strict") != std::string_view::npos;
    c.differentialFollower = name.starts_with("Differential");
    c.controlMode = kModeFollower + (c.differentialFollower ? 2 : 0) + (c.strictFollower ? 1 : 0);
    c.differentialControlMode = kDiffModeFollower + (c.strictFollower ? 1 : 0);
    layout.leaderId = IndexOf(fields, "LeaderID", 1);
    layout.opposeLeader = IndexOf(fields, "OpposeLeaderDirection", 1);
  } else if (name.starts_with("Differential")) {
    c.action = Action::Drive;
    return DifferentialShape(name, fields, layout);
  } else {
    c.action = Action::Drive;
    layout.average = PlainAxis(fields, 1);
    return AxisShape(name, c.average, c.kind, c.controlMode);
  }
  return true;
}

bool CompoundLayout(std::string_view average, const FieldNames& averageFields, std::string_view difference,
                    const FieldNames& differenceFields, Layout& layout) {
  ControlCommand& c = layout.shape;
  ReadOptions(averageFields, 1, layout);
  layout.average = PlainAxis(averageFields, 1);
  layout.difference = PlainAxis(differenceFields, 1 + static_cast<int>(averageFields.size()));
  OutputKind differenceKind{};
  int differenceMode = 0;
  if (!AxisShape(average, c.average, c.kind, c.controlMode)) return false;
  if (!AxisShape(difference, c.difference, differenceKind, differenceMode)) return false;
  c.action = Action::Drive;
  c.differentialControlMode =
      kDiffModeFirstOutput + 4 * static_cast<int>(differenceKind) + DifferentialIndex(c.difference.loop);
  return differenceKind == c.kind;
}

struct NameHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using LayoutTable = std::unordered_map<std::string, Layout, NameHash, std::equal_to<>>;

LayoutTable BuildLayouts() {
  std::unordered_map<std::string, FieldNames> fields;
#define KVOR_REQUEST(name, list) fields[#name] = SplitFields(list);
#include "controls/generated/RequestFields.inc"
#undef KVOR_REQUEST
  LayoutTable table;
  for (const auto& [name, list] : fields) {
    Layout layout;
    if (SingleLayout(name, list, layout)) table[name] = layout;
  }
#define KVOR_COMPOUND(name, average, differential)                                                      \
  {                                                                                                      \
    Layout layout;                                                                                       \
    if (CompoundLayout(#average, fields.at(#average), #differential, fields.at(#differential), layout)) \
      table[#name] = layout;                                                                             \
  }
#include "controls/generated/RequestFields.inc"
#undef KVOR_COMPOUND
  Layout empty;
  table["Empty"] = empty;
  for (auto& [name, layout] : table) {
    layout.differenceFields = HasFields(layout.difference);
    layout.argsNeeded = ArgsNeeded(layout);
  }
  return table;
}

const LayoutTable& Layouts() {
  static const LayoutTable table = BuildLayouts();
  return table;
}

// A field's number, or `otherwise` for a field the request does not have
// or whose argument the call lacks. kAllThere: the call has every field's
// argument, which then needs no test.
template <bool kAllThere>
double Number(std::span<const RecordedArg> args, int index, double otherwise = 0.0) {
  if (index < 0 || (!kAllThere && static_cast<size_t>(index) >= args.size())) return otherwise;
  return args[static_cast<size_t>(index)].number;
}

template <bool kAllThere>
bool Flag(std::span<const RecordedArg> args, int index) {
  if (index < 0 || (!kAllThere && static_cast<size_t>(index) >= args.size())) return false;
  return args[static_cast<size_t>(index)].flag;
}

template <bool kAllThere>
void FillAxis(std::span<const RecordedArg> args, const AxisFields& f, Setpoint& axis) {
  axis.output = Number<kAllThere>(args, f.output);
  axis.position = Number<kAllThere>(args, f.position);
  axis.velocity = Number<kAllThere>(args, f.velocity);
  axis.acceleration = Number<kAllThere>(args, f.acceleration);
  axis.jerk = Number<kAllThere>(args, f.jerk);
  axis.feedForward = Number<kAllThere>(args, f.feedForward);
  axis.slot = static_cast<int>(Number<kAllThere>(args, f.slot));
}

// Writes the fields of a call over its request's shape.
template <bool kAllThere>
void Fill(std::span<const RecordedArg> args, const Layout& layout, ControlCommand& out) {
  FillAxis<kAllThere>(args, layout.average, out.average);
  if (layout.differenceFields) FillAxis<kAllThere>(args, layout.difference, out.difference);
  out.enableFoc = layout.enableFoc == kAbsent || Flag<kAllThere>(args, layout.enableFoc);
  out.overrideNeutral = Flag<kAllThere>(args, layout.overrideBrake) || Flag<kAllThere>(args, layout.overrideCoast);
  out.limitForward = Flag<kAllThere>(args, layout.limitForward);
  out.limitReverse = Flag<kAllThere>(args, layout.limitReverse);
  out.ignoreHardwareLimits = Flag<kAllThere>(args, layout.ignoreHardwareLimits);
  out.maxAbsDutyCycle = Number<kAllThere>(args, layout.maxAbsDutyCycle, 1.0);
  out.deadband = Number<kAllThere>(args, layout.deadband);
  out.leaderId = static_cast<int>(Number<kAllThere>(args, layout.leaderId));
  out.opposeLeader = Flag<kAllThere>(args, layout.opposeLeader);
}

// The layout of the request named `function`, or null for a name that is
// none. Entry points name themselves with string literals, so one address
// always means one name: each thread remembers the layouts of the addresses
// it has seen (direct-mapped), which spares every call after the first the
// length, hash and comparison of its name.
const Layout* LayoutOf(const char* function) {
  struct Seen {
    const char* function = nullptr;
    const Layout* layout = nullptr;
  };
  constexpr std::size_t kSeen = 64;
  thread_local std::array<Seen, kSeen> seen{};
  Seen& slot = seen[(reinterpret_cast<std::uintptr_t>(function) >> 3) % kSeen];
  if (slot.function == function) return slot.layout;
  std::string_view name(function);
  if (!name.starts_with(kPrefix)) return nullptr;
  name.remove_prefix(kPrefix.size());
  const LayoutTable& layouts = Layouts();
  auto it = layouts.find(name);
  if (it == layouts.end()) return nullptr;
  slot = {function, &it->second};
  return slot.layout;
}

}  // namespace

bool DecodeControl(const char* function, std::span<const RecordedArg> args, ControlCommand& out) {
  if (function == nullptr || args.empty()) return false;
  // A number that is not finite never enters the device's state.
  for (const RecordedArg& arg : args) {
    if (arg.kind == RecordedArg::Kind::Double && !std::isfinite(arg.number)) return false;
  }
  const Layout* found = LayoutOf(function);
  if (found == nullptr) return false;
  const Layout& layout = *found;
  out = layout.shape;
  out.updateHz = args[0].number;
  if (args.size() >= layout.argsNeeded) {
    Fill<true>(args, layout, out);
  } else {
    Fill<false>(args, layout, out);
  }
  return true;
}

}  // namespace kvor::zephrin::runtime::firmware
