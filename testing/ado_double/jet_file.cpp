// The double's open database: Jet's open, write and transaction rules over
// a Jet fixture file.
#include "testing/ado_double/jet_file.h"

#include <oleauto.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "base/jet_types.h"
#include "base/text.h"
#include "db/connection_string.h"
#include "platform/windows/utf16.h"
#include "testing/ado_double/jet_fixture.h"
#include "testing/ado_double/jet_values.h"

namespace telo::ado_double {
namespace {

// DB_SEC_E_AUTH_FAILED
constexpr int32_t kAuthenticationFailed = static_cast<int32_t>(0x80040E4D);
// DB_SEC_E_PERMISSIONDENIED: how ADO reports Jet's error 3027, a write to a
// database opened for reading.
constexpr int32_t kPermissionDenied = static_cast<int32_t>(0x80040E09);

Status JetError(std::string message) {
  return Status::Error(error::kUnspecifiedFailure, std::move(message));
}

// ADO's ConnectModeEnum, as "Mode=" names it in a connection string.
constexpr long kModeReadBits = 3;  // adModeRead 1, adModeWrite 2, adModeReadWrite 3
constexpr long kModeShareExclusive = 12;
constexpr struct {
  std::string_view name;
  long bits;
} kModeNames[] = {{"Read", 1},
                  {"Write", 2},
                  {"ReadWrite", 3},
                  {"Share Deny Read", 4},
                  {"Share Deny Write", 8},
                  {"Share Exclusive", kModeShareExclusive},
                  {"Share Deny None", 16}};

// The bits of "Mode=Read", "Mode=12", "Mode=ReadWrite|Share Exclusive".
long ModeBits(std::string_view mode) {
  long bits = 0;
  while (!mode.empty()) {
    const std::size_t bar = mode.find('|');
    std::string_view part = mode.substr(0, bar);
    mode = bar == std::string_view::npos ? std::string_view() : mode.substr(bar + 1);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    if (!part.empty() && std::all_of(part.begin(), part.end(), [](char c) {
          return std::isdigit(static_cast<unsigned char>(c)) != 0;
        })) {
      bits |= std::strtol(std::string(part).c_str(), nullptr, 10);
    }
    for (const auto& known : kModeNames) {
      if (EqualsIgnoreCase(part, known.name)) bits |= known.bits;
    }
  }
  return bits;
}

std::string ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(name, &size) ? Utf8FromUtf16({name, size}) : std::string();
}

// The name of the mutex by which a connection that opened `path`
// exclusively makes itself known to every other one, as Jet's lock
// information does: one name per file, whatever the spelling of its path.
std::wstring ExclusiveMarkerName(const std::wstring& path) {
  wchar_t full[MAX_PATH];
  const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  std::wstring key = length > 0 && length < MAX_PATH ? std::wstring(full, length) : path;
  CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
  uint32_t hash = 2166136261u;  // FNV-1a
  for (wchar_t c : key) hash = (hash ^ static_cast<uint16_t>(c)) * 16777619u;
  return L"Local\\telo-ado-double-exclusive-" + std::to_wstring(hash);
}

bool HeldExclusivelyByJet(const std::wstring& path) {
  HANDLE marker = OpenMutexW(SYNCHRONIZE, FALSE, ExclusiveMarkerName(path).c_str());
  if (marker == nullptr) return false;
  CloseHandle(marker);
  return true;
}

Status OpenFailure(DWORD code, const std::string& path) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
      return JetError("Could not find file '" + path + "'.");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      if (HeldExclusivelyByJet(Utf16FromUtf8(path))) {
        return JetError(
            "You attempted to open a database that is already opened exclusively by user "
            "'Admin' on machine '" +
            ComputerName() + "'.  Try again when the database is available.");
      }
      return JetError("Could not use ''; file already in use.");
    default:
      return JetError("The Microsoft Jet database engine cannot open the file '" + path +
                      "'.  It is already opened exclusively by another user, or you need "
                      "permission to view its data.");
  }
}

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

// Shares reading and writing, as Jet does in its shared mode, or nothing
// in its exclusive mode.
FileHandle OpenDatabase(const std::wstring& path, bool read_only, bool exclusive) {
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | (read_only ? 0 : GENERIC_WRITE),
                              exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return FileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

bool ReadAll(HANDLE handle, std::string* text) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle, &size) || size.QuadPart > (1 << 30)) return false;
  text->resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  return text->empty() ||
         (ReadFile(handle, text->data(), static_cast<DWORD>(text->size()), &read, nullptr) &&
          read == text->size());
}

Status CheckLiteral(std::string_view declared_type, std::string_view literal) {
  VARIANT value;
  Status status = VariantFromLiteral(literal, ParseJetColumnType(declared_type), &value);
  VariantClear(&value);
  return status;
}

}  // namespace

Status JetFile::Open(std::string_view connection_string, std::unique_ptr<JetFile>* file) {
  ConnectionString parsed;
  if (Status valid = ConnectionString::Parse(connection_string, &parsed); !valid.ok()) {
    return valid;
  }
  if (!EqualsIgnoreCase(parsed.provider(), kJetProvider)) {
    return Status::Error(error::kProviderNotFound,
                         "Provider cannot be found. It may not be properly installed.");
  }
  const long mode = ModeBits(parsed.Get(kKeyMode).value_or(""));
  bool read_only = (mode & kModeReadBits) == 1;
  const bool exclusive = (mode & kModeShareExclusive) == kModeShareExclusive;
  const std::string& path = parsed.data_source();
  const std::wstring wide_path = Utf16FromUtf8(path);
  const DWORD attributes = GetFileAttributesW(wide_path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    read_only = true;  // Jet opens a read-only file for reading only
  }
  FileHandle handle = OpenDatabase(wide_path, read_only, exclusive);
  if (!handle && GetLastError() == ERROR_ACCESS_DENIED && !read_only) {
    read_only = true;
    handle = OpenDatabase(wide_path, read_only, exclusive);
  }
  if (!handle) return OpenFailure(GetLastError(), path);
  FileHandle marker;
  if (exclusive) marker.reset(CreateMutexW(nullptr, FALSE, ExclusiveMarkerName(wide_path).c_str()));

  std::string text;
  JetFixture fixture;
  if (!ReadAll(handle.get(), &text) || !ParseJetFixture(text, &fixture).ok()) {
    return JetError("Unrecognized database format '" + path + "'.");
  }
  const std::string password = parsed.Get(kKeyDatabasePassword).value_or("");
  if (fixture.password && *fixture.password != password) {
    return Status::Error(kAuthenticationFailed, "Not a valid password.");
  }
  file->reset(new JetFile(handle.release(), marker.release(), read_only,
                          std::move(fixture.password), std::move(fixture.tables)));
  return Status::Ok();
}

JetFile::JetFile(HANDLE handle, HANDLE exclusive_marker, bool read_only,
                 std::optional<std::string> password, FakeTables tables)
    : handle_(handle),
      exclusive_marker_(exclusive_marker),
      read_only_(read_only),
      password_(std::move(password)) {
  database_.tables = std::move(tables);
  database_.rules.declared_only = true;
  database_.rules.runner = "The ADO double";
  database_.rules.check_value = CheckLiteral;
}

JetFile::~JetFile() {
  session_.RollbackAll();
  CloseHandle(handle_);
  if (exclusive_marker_ != nullptr) CloseHandle(exclusive_marker_);
}

Status JetFile::Execute(std::string_view statement, long* affected) {
  if (read_only_) {
    return Status::Error(kPermissionDenied, "Cannot update.  Database or object is read-only.");
  }
  const bool durable = session_.levels() == 0;
  Status status = session_.Execute(statement, affected);
  return status.ok() && durable ? Save() : status;
}

Status JetFile::BeginTrans(long* level) {
  if (session_.levels() >= kMaxTransactionLevels) {
    return JetError("Could not start transaction; too many transactions already nested.");
  }
  session_.Begin();
  *level = session_.levels();
  return Status::Ok();
}

// A test makes the next commit of an inner level fail by setting
// TELO_ADO_DOUBLE_FAIL_NEXT_COMMIT; the level then stays open, as Jet leaves
// a transaction it could not commit.
static bool TakeCommitFailure() {
  constexpr const wchar_t* kVariable = L"TELO_ADO_DOUBLE_FAIL_NEXT_COMMIT";
  if (GetEnvironmentVariableW(kVariable, nullptr, 0) == 0) return false;
  SetEnvironmentVariableW(kVariable, nullptr);
  return true;
}

Status JetFile::CommitTrans() {
  if (session_.levels() > 1 && TakeCommitFailure()) return JetError("Disk or network error.");
  Status status = session_.Commit();
  return status.ok() && session_.levels() == 0 ? Save() : status;
}

Status JetFile::RollbackTrans() { return session_.Rollback(); }

Status JetFile::Select(std::string_view query, FakeSelection* rows) const {
  return SelectLiterals(query, database_.rules, session_.tables(), rows);
}

// Rewrites the whole file in place through the held handle.
Status JetFile::Save() {
  if (read_only_) return Status::Ok();
  const std::string text = FormatJetFixture(JetFixture{password_, database_.tables});
  LARGE_INTEGER start{};
  DWORD written = 0;
  if (!SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN) ||
      !WriteFile(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
      written != text.size() || !SetEndOfFile(handle_) || !FlushFileBuffers(handle_)) {
    return JetError("Disk or network error.");
  }
  return Status::Ok();
}

}  // namespace telo::ado_double
