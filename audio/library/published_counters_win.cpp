// The audio library's published counts: making this process's block, when a test session asks for it,
// and mapping another's.
#include "audio/library/published_counters.h"

#include <new>

namespace {

// The process's own user, as the token names it.
union ProcessUser {
  TOKEN_USER User;
  BYTE Storage[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
};

// A DACL with a single entry.
union SingleEntryAcl {
  ACL Header;
  BYTE Storage[sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE];
};

bool PublishingAsked() {
  char value[2];
  return GetEnvironmentVariableA(kPublishCountersVariable, value, sizeof value) == 1 && value[0] == '1';
}

bool ReadProcessUser(ProcessUser& owner) {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size;
  const BOOL read = GetTokenInformation(token, TokenUser, &owner, sizeof owner, &size);
  CloseHandle(token);
  return read != FALSE;
}

// A descriptor whose DACL lets the process's own user, and nobody else, open the block.
bool MakeOwnerOnly(const ProcessUser& owner, SingleEntryAcl& acl, SECURITY_DESCRIPTOR& descriptor) {
  return InitializeAcl(&acl.Header, sizeof acl, ACL_REVISION) &&
         AddAccessAllowedAce(&acl.Header, ACL_REVISION, FILE_MAP_ALL_ACCESS, owner.User.User.Sid) &&
         InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
         SetSecurityDescriptorDacl(&descriptor, TRUE, &acl.Header, FALSE);
}

}  // namespace

AudioCounters* PublishCounters() {
  if (!PublishingAsked()) return nullptr;
  ProcessUser owner;
  SingleEntryAcl acl;
  SECURITY_DESCRIPTOR descriptor;
  if (!ReadProcessUser(owner) || !MakeOwnerOnly(owner, acl, descriptor)) return nullptr;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
  char name[kAudioCountersNameSize];
  AudioCountersName(GetCurrentProcessId(), name);
  HANDLE block = CreateFileMappingA(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0, sizeof(AudioCounters), name);
  if (block == nullptr) return nullptr;
  // A block of that name made by someone else first is theirs to write: the counts stay inside.
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(block);
    return nullptr;
  }
  void* view = MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, sizeof(AudioCounters));
  if (view == nullptr) {
    CloseHandle(block);
    return nullptr;
  }
  return new (view) AudioCounters;
}

PublishedCountersView::PublishedCountersView(uint32_t processId) {
  char name[kAudioCountersNameSize];
  AudioCountersName(processId, name);
  HANDLE block = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
  if (block == nullptr) return;
  // The view keeps the block alive; the handle is not needed any more.
  counts_ = static_cast<const AudioCounters*>(MapViewOfFile(block, FILE_MAP_READ, 0, 0, sizeof(AudioCounters)));
  CloseHandle(block);
}

PublishedCountersView::~PublishedCountersView() {
  if (counts_ != nullptr) UnmapViewOfFile(counts_);
}
