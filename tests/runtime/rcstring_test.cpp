// Reference-counted strings: copies share one buffer, releases free it, joins make a new one.
#include "runtime/rcstring.h"

#include <gtest/gtest.h>

TEST(RcString, CopiesShareOneBufferAndReleaseIt) {
  RcString a("level");
  EXPECT_EQ(a.RefCount(), 1);
  {
    RcString b = a;
    RcString c;
    c = b;
    EXPECT_EQ(a.RefCount(), 3);
    EXPECT_EQ(c.c_str(), a.c_str());
  }
  EXPECT_EQ(a.RefCount(), 1);
  a = a;
  EXPECT_EQ(a.RefCount(), 1);
  EXPECT_EQ(a.view(), "level");
}

TEST(RcString, EmptyHasNoStorageAndJoinsMakeNewText) {
  RcString empty("");
  EXPECT_TRUE(empty.empty());
  EXPECT_STREQ(empty.c_str(), "");
  RcString joined = RcString("u=") + RcString("343");
  EXPECT_EQ(joined, RcString("u=343"));
  EXPECT_EQ((empty + joined).RefCount(), 2);
}
