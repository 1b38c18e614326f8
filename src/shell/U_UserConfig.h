#pragma once
// The six download switches of the process, all on at start and never saved.
namespace vorlane::shell {

class TUserConfig {
public:
  bool AllowActivex = true;
  bool AllowImage = true;
  bool AllowJava = true;
  bool AllowBkSound = true;
  bool AllowVideo = true;
  bool AllowScript = true;

  void SetAllowActivex(bool Value) { if (AllowActivex != Value) AllowActivex = Value; }
  void SetAllowImage(bool Value) { if (AllowImage != Value) AllowImage = Value; }
  void SetAllowJava(bool Value) { if (AllowJava != Value) AllowJava = Value; }
  void SetAllowBkSound(bool Value) { if (AllowBkSound != Value) AllowBkSound = Value; }
  void SetAllowVideo(bool Value) { if (AllowVideo != Value) AllowVideo = Value; }
  void SetAllowScript(bool Value) { if (AllowScript != Value) AllowScript = Value; }
};

// The process-wide configuration, created on first use (before the main window exists).
TUserConfig& UserConfig();

}  // namespace vorlane::shell
