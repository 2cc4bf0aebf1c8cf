// The published counts: made only when the session asks for them, never in a block someone else made
// first under the name, and open to the process's own user alone.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, whose types they use
#include <aclapi.h>

#include "audio/library/published_counters.h"

namespace {

// Whether the block's DACL holds a single entry, which allows the process's own user.
bool OnlyTheUserMayOpen(HANDLE block) {
  union {
    TOKEN_USER User;
    BYTE Storage[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  } owner;
  HANDLE token;
  DWORD size;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  const BOOL known = GetTokenInformation(token, TokenUser, &owner, sizeof owner, &size);
  CloseHandle(token);
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!known || GetSecurityInfo(block, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  ACCESS_ALLOWED_ACE* entry = nullptr;
  const bool onlyUser = dacl && dacl->AceCount == 1 && GetAce(dacl, 0, reinterpret_cast<void**>(&entry)) &&
                        entry->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
                        EqualSid(reinterpret_cast<PSID>(&entry->SidStart), owner.User.User.Sid);
  LocalFree(descriptor);
  return onlyUser;
}

TEST(PublishedCounters, OnlyWhenAskedOnlyNewOnlyForTheOwner) {
  char name[kAudioCountersNameSize];
  AudioCountersName(GetCurrentProcessId(), name);

  ASSERT_TRUE(SetEnvironmentVariableA(kPublishCountersVariable, nullptr));
  EXPECT_EQ(PublishCounters(), nullptr) << "published without being asked";
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, name), nullptr);

  ASSERT_TRUE(SetEnvironmentVariableA(kPublishCountersVariable, "1"));
  // Another process's block under the name comes first: it is refused, not adopted and reset.
  HANDLE planted = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(AudioCounters), name);
  ASSERT_NE(planted, nullptr);
  auto* plantedCounts = static_cast<AudioCounters*>(MapViewOfFile(planted, FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(plantedCounts, nullptr);
  plantedCounts->Underruns = 7;
  EXPECT_EQ(PublishCounters(), nullptr) << "a block that already existed was adopted";
  EXPECT_EQ(plantedCounts->Underruns.load(), 7u);
  UnmapViewOfFile(plantedCounts);
  CloseHandle(planted);

  AudioCounters* published = PublishCounters();
  ASSERT_NE(published, nullptr);
  CountOne(published->Overruns);
  HANDLE block = OpenFileMappingA(FILE_MAP_READ | READ_CONTROL, FALSE, name);
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(OnlyTheUserMayOpen(block)) << "the block's DACL is not the owner's alone";
  CloseHandle(block);
  const PublishedCountersView view(GetCurrentProcessId());
  ASSERT_TRUE(view.Available());
  EXPECT_EQ(view.Counts().Overruns.load(), 1u);
}

}  // namespace
