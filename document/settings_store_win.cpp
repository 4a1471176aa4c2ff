#include "document/settings_store_win.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "base/handles_win.h"
#include "base/memory.h"
#include "base/message_box_win.h"
#include "base/messages.h"
#include "base/wide_win.h"
#include "document/registry_values.h"
#include "document/settings_store.h"

namespace quillet {
namespace {

// Holds the mutex "Quillet" for one whole load or save.
class SettingsLock {
 public:
  SettingsLock() : mutex_(CreateMutexW(nullptr, FALSE, L"Quillet")) {
    if (!mutex_) return;
    const DWORD got = WaitForSingleObject(mutex_.get(), INFINITE);
    // A copy that died holding it leaves it abandoned; the store is still ours now.
    held_ = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
  }
  SettingsLock(const SettingsLock&) = delete;
  SettingsLock& operator=(const SettingsLock&) = delete;
  ~SettingsLock() {
    if (held_) ReleaseMutex(mutex_.get());
  }
  bool held() const { return held_; }

 private:
  UniqueHandle mutex_;
  bool held_ = false;
};

// ---- the registry ------------------------------------------------------

static_assert(kRegString == REG_SZ && kRegExpandString == REG_EXPAND_SZ && kRegBinary == REG_BINARY &&
                  kRegDword == REG_DWORD && kRegDwordBigEndian == REG_DWORD_BIG_ENDIAN &&
                  kRegMultiString == REG_MULTI_SZ && kRegQword == REG_QWORD,
              "the pure value types are the system's");

std::wstring RegistryPath(std::u16string_view key) {
  std::wstring path(key.begin(), key.end());
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::wstring Name(std::u16string_view name) { return std::wstring(name.begin(), name.end()); }

class RegistryBackend final : public TypedValueBackend {
 public:
  RegistryBackend(const StoreLocation& where, bool forSaving) : forSaving_(forSaving) {
    const std::wstring path = RegistryPath(where.registryPath);
    LONG status;
    if (forSaving) {
      status = RegCreateKeyExW(where.registryRoot, path.c_str(), 0, nullptr, 0,
                               KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, root_.put(), nullptr);
    } else {
      status = RegOpenKeyExW(where.registryRoot, path.c_str(), 0, KEY_READ, root_.put());
    }
    if (status != ERROR_SUCCESS) root_.reset();
  }
  RegistryBackend(const RegistryBackend&) = delete;
  RegistryBackend& operator=(const RegistryBackend&) = delete;
  ~RegistryBackend() override = default;

  bool ok() const { return static_cast<bool>(root_); }

  bool HasKey(std::u16string_view key) override { return Key(key) != nullptr; }

  void WriteInt(std::u16string_view key, std::u16string_view name, std::int32_t value) override {
    HKEY k = Key(key);
    if (!k) return;
    Set(k, name, IntToRegistry(value));
  }

  void WriteString(std::u16string_view key, std::u16string_view name, std::u16string_view value) override {
    HKEY k = Key(key);
    if (!k) return;
    Set(k, name, StringToRegistry(value));
  }

  void WriteBinary(std::u16string_view key, std::u16string_view name, const std::uint8_t* bytes,
                   std::size_t size) override {
    HKEY k = Key(key);
    if (!k) return;
    Set(k, name, BinaryToRegistry(bytes, size));
  }

  void DeleteAllValues(std::u16string_view key) override {
    HKEY k = Key(key);
    if (!k) return;
    std::vector<wchar_t> name(16384);
    for (;;) {
      DWORD length = static_cast<DWORD>(name.size());
      if (RegEnumValueW(k, 0, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      // A value that cannot be deleted would be enumerated again forever.
      if (RegDeleteValueW(k, name.data()) != ERROR_SUCCESS) break;
    }
  }

 private:
  // The key, opened (or, when saving, created) once per run.
  HKEY Key(std::u16string_view key) {
    if (!root_) return nullptr;
    for (auto& [name, handle] : keys_)
      if (name == key) return handle.get();
    UniqueKey handle;
    const std::wstring path = RegistryPath(key);
    const LONG status = forSaving_ ? RegCreateKeyExW(root_.get(), path.c_str(), 0, nullptr, 0, KEY_READ | KEY_SET_VALUE,
                                                     nullptr, handle.put(), nullptr)
                                   : RegOpenKeyExW(root_.get(), path.c_str(), 0, KEY_READ, handle.put());
    if (status != ERROR_SUCCESS) handle.reset();
    keys_.emplace_back(std::u16string(key), std::move(handle));
    return keys_.back().second.get();
  }

  bool QueryValue(std::u16string_view key, std::u16string_view name, RegistryValue& value) override {
    HKEY k = Key(key);
    if (!k) return false;
    const std::wstring valueName = Name(name);
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD type = 0, size = 0;
      if (RegQueryValueExW(k, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
      // A few bytes to spare: a string stored without its terminating zero
      // may come back with one added.
      value.bytes.assign(static_cast<std::size_t>(size) + 4, 0);
      DWORD got = static_cast<DWORD>(value.bytes.size());
      const LONG status = RegQueryValueExW(k, valueName.c_str(), nullptr, &type, value.bytes.data(), &got);
      if (status == ERROR_MORE_DATA) continue;  // it grew in between
      if (status != ERROR_SUCCESS) return false;
      value.type = type;
      value.bytes.resize(std::min<std::size_t>(got, value.bytes.size()));
      return true;
    }
    return false;
  }

  bool EnumRawValue(std::u16string_view key, std::uint32_t index, std::u16string& name, RegistryValue& value) override {
    HKEY k = Key(key);
    if (!k) return false;
    DWORD maxName = 0, maxData = 0;
    if (RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData, nullptr,
                         nullptr) != ERROR_SUCCESS)
      return false;
    std::vector<wchar_t> nameBuffer(maxName + 2);
    value.bytes.assign(static_cast<std::size_t>(maxData) + 4, 0);
    DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
    DWORD dataSize = static_cast<DWORD>(value.bytes.size());
    DWORD type = 0;
    if (RegEnumValueW(k, index, nameBuffer.data(), &nameLength, nullptr, &type, value.bytes.data(), &dataSize) !=
        ERROR_SUCCESS)
      return false;
    name.assign(U(nameBuffer.data()), nameLength);
    value.type = type;
    value.bytes.resize(std::min<std::size_t>(dataSize, value.bytes.size()));
    return true;
  }

  void Set(HKEY k, std::u16string_view name, const RegistryValue& value) {
    RegSetValueExW(k, Name(name).c_str(), 0, value.type, value.bytes.data(), static_cast<DWORD>(value.bytes.size()));
  }

  bool forSaving_;
  UniqueKey root_;
  std::vector<std::pair<std::u16string, UniqueKey>> keys_;
};

// ---- the settings file -------------------------------------------------

enum class FileRead { kMissing, kRead, kFailed, kOutOfMemory };

FileRead ReadSettingsFile(const std::u16string& path, IniDocument& doc) {
  UniqueHandle file(
      CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return FileRead::kMissing;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return FileRead::kFailed;
  if (static_cast<unsigned long long>(size.QuadPart) > 0x7FFFFFFFull) return FileRead::kOutOfMemory;
  const auto bytes = static_cast<std::size_t>(size.QuadPart);
  HeapBlock<std::uint8_t> buffer = HeapBlock<std::uint8_t>::Allocate(bytes + 1);
  if (!buffer) return FileRead::kOutOfMemory;
  std::size_t got = 0;
  while (got < bytes) {
    DWORD chunk = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes - got, 1u << 20));
    if (!ReadFile(file.get(), buffer.get() + got, want, &chunk, nullptr)) return FileRead::kFailed;
    if (chunk == 0) break;  // it shrank in between: take what is there
    got += chunk;
  }
  try {
    doc = ParseIni(buffer.get(), got);
  } catch (const std::bad_alloc&) {
    doc = IniDocument{};
    return FileRead::kOutOfMemory;
  }
  return FileRead::kRead;
}

void WriteSettingsFile(const std::u16string& path, const IniDocument& doc) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = SerializeIni(doc);
  } catch (const std::bad_alloc&) {
    return;
  }
  DWORD attributes = GetFileAttributesW(W(path));
  constexpr DWORD kKept = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY |
                          FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  attributes = attributes == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_NORMAL : (attributes & kKept);
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  UniqueHandle file(CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
  if (!file) return;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file.get(), bytes.data() + done, want, &wrote, nullptr) || wrote == 0) return;
    done += wrote;
  }
}

// Runs one load or save through the back end this run uses. Returns false
// when the settings file could not be read for lack of memory.
template <class Work>
bool WithStore(StoreLocation& where, bool forSaving, Work work) {
  const std::u16string path = SettingsFilePath(where);
  IniDocument doc;
  const FileRead read = ReadSettingsFile(path, doc);
  if (read != FileRead::kMissing) where.fileChosen = true;
  if (where.fileChosen) {
    // A file that is there but could not be read is left as it is rather
    // than overwritten with what little this run knows.
    if (forSaving && (read == FileRead::kFailed || read == FileRead::kOutOfMemory))
      return read != FileRead::kOutOfMemory;
    IniBackend backend(doc);
    work(backend);
    if (forSaving) WriteSettingsFile(path, doc);
    return read != FileRead::kOutOfMemory;
  }
  RegistryBackend registry(where, forSaving);
  if (registry.ok()) work(registry);
  return true;
}

}  // namespace

// The window's normal rectangle and maximised state into the settings;
// nothing in full screen, whose rectangle is the desktop's.
void RecordPlacement(HWND window, Settings& s) {
  if (!window || !IsWindow(window) || s.fullScreen) return;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(window, &placement)) return;
  const RECT& r = placement.rcNormalPosition;
  s.windowLeft = r.left;
  s.windowTop = r.top;
  s.windowWidth = r.right - r.left;
  s.windowHeight = r.bottom - r.top;
  s.maximized = placement.showCmd == SW_SHOWMAXIMIZED ? 1 : 0;
}

std::u16string SettingsFilePath(const StoreLocation& where) {
  if (!where.iniPath.empty()) return where.iniPath;
  std::u16string path(1284, u'\0');
  const DWORD n = GetModuleFileNameW(nullptr, W(path.data()), static_cast<DWORD>(path.size()));
  path.resize(n < path.size() ? n : 0);
  const std::size_t slash = path.find_last_of(u"\\/");
  // Without the program's folder there is no file to look for; a bare name
  // would find one in whatever the current folder happens to be.
  if (slash == std::u16string::npos) return {};
  path.resize(slash + 1);
  return path + u"Quillet.ini";
}

void LoadSettings(HWND owner, const PersistentState& state, StoreLocation& where) {
  bool outOfMemory = false;
  {
    SettingsLock lock;
    if (!lock.held()) return;
    const bool fileRead = WithStore(
        where, false, [&](SettingsBackend& store) { outOfMemory = LoadSettingsFrom(store, state).outOfMemory; });
    outOfMemory = outOfMemory || !fileRead;
  }
  // Shown after the lock is gone, so other copies need not wait for the user.
  if (outOfMemory) ShowWarning(owner, kMsgOutOfMemory);
}

void SaveSettings(HWND window, bool forced, const PersistentState& state, StoreLocation& where) {
  // Asked before the store is locked: other copies must not wait on a box.
  for (int n : ClipsCutBySave(state, forced)) ShowWarning(window, Failure(kMsgClipTruncated, n));
  bool fileRead = true;
  {
    SettingsLock lock;
    if (!lock.held()) return;
    SaveHooks hooks;
    hooks.recordPlacement = [window](Settings& settings) { RecordPlacement(window, settings); };
    fileRead = WithStore(where, true, [&](SettingsBackend& store) { SaveSettingsTo(store, state, forced, hooks); });
  }
  if (!fileRead) ShowWarning(window, kMsgOutOfMemory);
}

}  // namespace quillet
