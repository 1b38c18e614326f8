#pragma once
// Owning handles for GLib objects and C allocations, so every reference the engine takes
// is given back exactly once, on every path.
#include <glib-object.h>
#include <memory>
#include <utility>

namespace vorlane::engine {

// One strong reference to a GObject (or a subclass such as WebKitWebView).
template <typename T>
class GObjectPtr {
public:
  GObjectPtr() = default;
  GObjectPtr(std::nullptr_t) {}

  // Takes over the reference a constructor returned; a floating one (widgets) is sunk first.
  static GObjectPtr Adopt(T* Object) {
    if (Object && g_object_is_floating(Object)) g_object_ref_sink(Object);
    return GObjectPtr(Object);
  }
  // Adds a reference of our own to an object someone else owns.
  static GObjectPtr Share(T* Object) {
    if (Object) g_object_ref(Object);
    return GObjectPtr(Object);
  }

  GObjectPtr(const GObjectPtr& Other) : FObject(Other.FObject) {
    if (FObject) g_object_ref(FObject);
  }
  GObjectPtr(GObjectPtr&& Other) noexcept : FObject(std::exchange(Other.FObject, nullptr)) {}
  GObjectPtr& operator=(GObjectPtr Other) noexcept {
    std::swap(FObject, Other.FObject);
    return *this;
  }
  ~GObjectPtr() { Reset(); }

  void Reset() {
    if (T* Old = std::exchange(FObject, nullptr)) g_object_unref(Old);
  }
  // Gives up ownership without dropping the reference.
  [[nodiscard]] T* Release() { return std::exchange(FObject, nullptr); }

  T* Get() const { return FObject; }
  explicit operator bool() const { return FObject != nullptr; }

private:
  explicit GObjectPtr(T* Object) : FObject(Object) {}
  T* FObject = nullptr;
};

// Plain C allocations with their own free functions.
struct GFreeDeleter {
  void operator()(void* P) const { g_free(P); }
};
struct GErrorDeleter {
  void operator()(GError* E) const { g_error_free(E); }
};
struct GBytesDeleter {
  void operator()(GBytes* B) const { g_bytes_unref(B); }
};
struct GUriDeleter {
  void operator()(GUri* U) const { g_uri_unref(U); }
};

using GCharPtr = std::unique_ptr<char, GFreeDeleter>;
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;
using GBytesPtr = std::unique_ptr<GBytes, GBytesDeleter>;
using GUriPtr = std::unique_ptr<GUri, GUriDeleter>;

// A GError** out-parameter that frees what it received: f(…, &Slot); if (Slot) …
class GErrorSlot {
public:
  GError** operator&() { return &FError; }
  GErrorPtr Take() { return GErrorPtr(std::exchange(FError, nullptr)); }
  explicit operator bool() const { return FError != nullptr; }
  const GError* operator->() const { return FError; }
  ~GErrorSlot() {
    if (FError) g_error_free(FError);
  }

private:
  GError* FError = nullptr;
};

}  // namespace vorlane::engine
