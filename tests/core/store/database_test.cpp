#include <gtest/gtest.h>

#include "support/test_database.h"

namespace {
using StoreTest = testing_support::TestDatabase;
TEST_F(StoreTest, Opens) { EXPECT_NO_THROW(Open()); }
}  // namespace
