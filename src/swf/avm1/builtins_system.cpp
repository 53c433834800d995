// System, its capabilities, security and IME, the player's version
// ($version, getVersion) and Accessibility, as a Windows desktop player
// reports them for a movie played from a local file that may reach the
// network; and PrintJob. Nothing here reaches outside the face: the
// clipboard and the settings dialog are left alone, and the print dialog
// is always cancelled.
#include <cmath>
#include <string>

#include "swf/avm1/broadcaster.h"
#include "swf/avm1/builtins.h"
#include "swf/avm1/host_objects.h"

namespace dc::swf::avm1 {
namespace {

// The player a movie of each version was made for: the last release of
// that player, as its version string gives it.
std::string PlayerVersion(int swfVersion) {
  struct Release {
    int swfVersion;
    const char* version;
  };
  static constexpr Release kReleases[] = {
      {8, "8,0,24,0"},      {9, "9,0,280,0"},     {10, "10,0,45,2"},    {11, "10,2,159,1"},
      {12, "10,3,183,7"},   {13, "11,0,1,152"},   {14, "11,1,102,55"},  {15, "11,2,202,235"},
      {16, "11,3,300,257"}, {17, "11,4,402,265"}, {18, "11,5,502,110"}, {19, "11,6,602,180"},
  };
  const char* version = kReleases[0].version;
  for (const Release& r : kReleases)
    if (swfVersion >= r.swfVersion) version = r.version;
  return std::string("WIN ") + version;
}

std::string Escaped(std::string_view s) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

double ScreenSide(double viewport, double stage, double fallback) {
  if (viewport > 0) return std::round(viewport);
  if (stage > 0) return std::round(stage);
  return fallback;
}

void InstallCapabilities(Runtime& rt, Object* system) {
  Object* caps = rt.NewObject();
  const std::string version = PlayerVersion(rt.version);
  const std::string manufacturer = rt.version <= 8 ? "Macromedia Windows" : "Adobe Windows";
  // The screen is the face's own window: a face sizes itself from it.
  const double width = ScreenSide(rt.host.viewportWidth, rt.host.stageWidth, 1024);
  const double height = ScreenSide(rt.host.viewportHeight, rt.host.stageHeight, 768);
  struct Flag {
    const char* name;
    const char* code;  // in serverString
    bool value;
  };
  static constexpr Flag kFlags[] = {
      {"hasAudio", "A", true},           {"hasStreamingAudio", "SA", true}, {"hasStreamingVideo", "SV", true},
      {"hasEmbeddedVideo", "EV", true},  {"hasMP3", "MP3", true},           {"hasAudioEncoder", "AE", true},
      {"hasVideoEncoder", "VE", true},   {"hasAccessibility", "ACC", true}, {"hasPrinting", "PR", true},
      {"hasScreenPlayback", "SP", false}, {"hasScreenBroadcast", "SB", false}, {"isDebugger", "DEB", false},
  };
  std::string server;
  for (const Flag& f : kFlags) {
    rt.DefineValue(caps, f.name, Value::Bool(f.value), kReadOnly | kDontDelete);
    server += std::string(server.empty() ? "" : "&") + f.code + (f.value ? "=t" : "=f");
  }
  const auto text = [&](const char* name, const std::string& value) {
    rt.DefineValue(caps, name, rt.Str(value), kReadOnly | kDontDelete);
  };
  const auto number = [&](const char* name, double value) {
    rt.DefineValue(caps, name, Value::Number(value), kReadOnly | kDontDelete);
  };
  const auto flag = [&](const char* name, bool value) {
    rt.DefineValue(caps, name, Value::Bool(value), kReadOnly | kDontDelete);
  };
  text("version", version);
  text("manufacturer", manufacturer);
  number("screenResolutionX", width);
  number("screenResolutionY", height);
  number("screenDPI", 72);
  text("screenColor", "color");
  number("pixelAspectRatio", 1);
  text("os", "Windows XP");
  text("language", "en");
  text("playerType", "StandAlone");
  flag("avHardwareDisable", false);
  flag("localFileReadDisable", false);
  flag("windowlessDisable", false);
  flag("hasIME", true);
  server += "&V=" + Escaped(version) + "&M=" + Escaped(manufacturer) + "&R=" + std::to_string(int(width)) + "x" +
            std::to_string(int(height)) +
            "&DP=72&COL=color&AR=1.0&OS=Windows%20XP&L=en&PT=StandAlone&AVD=f&LFD=f&WD=f&IME=t";
  text("serverString", server);
  rt.DefineValue(system, "capabilities", Value::Obj(caps), kDontEnum | kDontDelete);
}

Value Nothing(Runtime&, Value, std::span<const Value>) { return Value(); }
Value False(Runtime&, Value, std::span<const Value>) { return Value::Bool(false); }

void InstallSecurity(Runtime& rt, Object* system) {
  Object* security = rt.NewObject();
  for (const char* name : {"allowDomain", "allowInsecureDomain", "loadPolicyFile"}) rt.DefineMethod(security, name, Nothing);
  rt.DefineValue(security, "sandboxType", rt.Str("localWithNetwork"), kDontEnum | kDontDelete | kReadOnly);
  rt.DefineValue(system, "security", Value::Obj(security), kDontEnum | kDontDelete);
}

Value ConversionMode(Runtime& rt, Value, std::span<const Value>) { return rt.Str("UNKNOWN"); }

// No input method editor is ever on: a face has no keyboard.
void InstallIme(Runtime& rt, Object* system) {
  Object* ime = rt.NewObject();
  MakeBroadcaster(rt, ime);
  rt.DefineMethod(ime, "getEnabled", False);
  rt.DefineMethod(ime, "setEnabled", False);
  rt.DefineMethod(ime, "getConversionMode", ConversionMode);
  rt.DefineMethod(ime, "setConversionMode", False);
  rt.DefineMethod(ime, "setCompositionString", False);
  rt.DefineMethod(ime, "doConversion", False);
  for (const char* mode : {"ALPHANUMERIC_FULL", "ALPHANUMERIC_HALF", "CHINESE", "JAPANESE_HIRAGANA",
                           "JAPANESE_KATAKANA_FULL", "JAPANESE_KATAKANA_HALF", "KOREAN", "UNKNOWN"})
    rt.DefineValue(ime, mode, rt.Str(mode), kDontEnum | kDontDelete | kReadOnly);
  rt.DefineValue(system, "IME", Value::Obj(ime), kDontEnum | kDontDelete);
}

Value GetVersion(Runtime& rt, Value, std::span<const Value>) { return rt.Str(PlayerVersion(rt.version)); }

Value PlainCall(Runtime&, Value, std::span<const Value>) { return Value(); }
Value PlainConstruct(Runtime& rt, Object* proto, std::span<const Value>) { return Value::Obj(rt.NewObject(proto)); }

}  // namespace

void InstallSystemBuiltins(Runtime& rt) {
  Object* system = rt.NewObject();
  InstallCapabilities(rt, system);
  InstallSecurity(rt, system);
  InstallIme(rt, system);
  rt.DefineValue(system, "useCodepage", Value::Bool(false), kDontEnum);
  rt.DefineValue(system, "exactSettings", Value::Bool(rt.version >= 7), kDontEnum);
  rt.DefineMethod(system, "setClipboard", False);
  rt.DefineMethod(system, "showSettings", Nothing);
  rt.DefineValue(rt.global, "System", Value::Obj(system));

  rt.DefineMethod(rt.global, "getVersion", GetVersion);
  rt.DefineValue(rt.global, "$version", rt.Str(PlayerVersion(rt.version)));

  Object* accessibility = rt.NewObject();
  rt.DefineMethod(accessibility, "isActive", False);
  rt.DefineMethod(accessibility, "updateProperties", Nothing);
  rt.DefineMethod(accessibility, "sendEvent", Nothing);
  rt.DefineValue(rt.global, "Accessibility", Value::Obj(accessibility));

  // start() is the print dialog: cancelled, so no page is added or sent.
  Object* printJob = rt.NewObject();
  rt.DefineMethod(printJob, "start", False);
  rt.DefineMethod(printJob, "addPage", False);
  rt.DefineMethod(printJob, "send", Nothing);
  DefineClass(rt, "PrintJob", printJob, PlainCall, PlainConstruct);
}

}  // namespace dc::swf::avm1
