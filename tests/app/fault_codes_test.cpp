// Run-time error numbers of processor faults, and the fallback by severity for unknown codes.
#include "process/fault_codes.h"

#include <gtest/gtest.h>

TEST(RunErrorForException, KnownFaults) {
  const struct {
    uint32_t code;
    uint16_t number;
  } faults[] = {
      {0xC0000005, 216}, {0xC000001D, 216}, {0xC0000096, 218}, {0xC000008C, 201}, {0xC0000094, 200},
      {0xC0000095, 215}, {0xC000008E, 200}, {0xC000008D, 206}, {0xC0000093, 206}, {0xC0000091, 205},
      {0xC000008F, 207}, {0xC0000090, 207}, {0xC0000092, 207}, {0xC00000FD, 202}, {0xC000013A, 217},
  };
  for (const auto& fault : faults) EXPECT_EQ(RunErrorForException(fault.code), fault.number) << std::hex << fault.code;
}

TEST(RunErrorForException, UnknownCodesBySeverity) {
  EXPECT_EQ(RunErrorForException(0xE06D7363), 217);
  EXPECT_EQ(RunErrorForException(0xC0001234), 217);
  EXPECT_EQ(RunErrorForException(0x80000003), 255);
  EXPECT_EQ(RunErrorForException(0x40010005), 255);
  EXPECT_EQ(RunErrorForException(0), 255);
}
