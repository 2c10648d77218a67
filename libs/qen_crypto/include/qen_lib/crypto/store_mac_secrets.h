#pragma once
// The password and salt of the certificate store's Mac files. Every program
// that opens the same store folders uses these two values. The test fixture
// producer reads them from this file, so they are written here only.

constexpr char STORE_MAC_PASSWORD[] = "gqOS$lEN5F3D)H00*<xF";
constexpr char STORE_MAC_SALT[] = "t|C&ZIr<|{c1=!YJV";

static_assert(sizeof STORE_MAC_PASSWORD == 20 + 1, "the Mac password has 20 characters");
static_assert(sizeof STORE_MAC_SALT == 17 + 1, "the Mac salt has 17 characters");
