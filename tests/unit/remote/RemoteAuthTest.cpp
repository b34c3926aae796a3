#include <gtest/gtest.h>

#include <sstream>

#include "app/remote/RemoteAuth.h"

namespace {
const std::string Token = "0123456789abcdef0123456789abcdef";

class RemoteAuthTest : public ::testing::Test {
protected:
  std::int64_t Now = 1000;
  std::ostringstream Errors;
  TRemoteAuth Auth{Token, [this] { return Now; }, Errors};

  int Bearer(const std::string& Given, const std::string& Address = "10.0.0.1") {
    return Auth.Check({Address, false, "Bearer " + Given, "", ""}).Status;
  }
};
}  // namespace

// The wait after wrong tokens, on a clock the test drives: 2 s, doubling up to 15 minutes, per
// address, cleared by a success; the right token waits like a wrong one meanwhile.
TEST_F(RemoteAuthTest, WrongTokensMakeTheirAddressWaitLongerEachTime) {
  EXPECT_EQ(Bearer(Token), 200);
  std::vector<std::int64_t> Waits;
  for (int I = 0; I < 11; ++I) {
    EXPECT_EQ(Bearer("wrong"), 401);
    const TAuthVerdict Held = Auth.Check({"10.0.0.1", false, "Bearer " + Token, "", ""});
    EXPECT_EQ(Held.Status, 429);
    Waits.push_back(Held.RetryAfterS);
    EXPECT_EQ(Bearer(Token, "10.0.0.2"), 200);  // another address is not held
    Now += Held.RetryAfterS * 1000;
  }
  EXPECT_EQ(Waits, (std::vector<std::int64_t>{2, 4, 8, 16, 32, 64, 128, 256, 512, 900, 900}));
  EXPECT_NE(Errors.str().find("wrong bearer token from 10.0.0.1"), std::string::npos);
  EXPECT_EQ(Bearer(Token), 200);
  EXPECT_EQ(Bearer("wrong"), 401);
  EXPECT_EQ(Auth.Check({"10.0.0.1", false, "Bearer " + Token, "", ""}).RetryAfterS, 2);  // back to the first wait
}

TEST_F(RemoteAuthTest, ASessionReadsWithItsCookieAndChangesOnlyWithItsCsrfToken) {
  std::string Session, Csrf;
  EXPECT_EQ(Auth.Login("10.0.0.1", "wrong", Session, Csrf).Status, 401);
  Now += 2000;
  ASSERT_EQ(Auth.Login("10.0.0.1", Token, Session, Csrf).Status, 200);
  const std::string Cookie = "theme=dark; vizmora_session=" + Session;
  EXPECT_EQ(Auth.Check({"10.0.0.1", false, "", Cookie, ""}).Status, 200);
  EXPECT_EQ(Auth.Check({"10.0.0.1", true, "", Cookie, ""}).Status, 403);
  EXPECT_EQ(Auth.Check({"10.0.0.1", true, "", Cookie, "forged"}).Status, 403);
  EXPECT_EQ(Auth.Check({"10.0.0.1", true, "", Cookie, Csrf}).Status, 200);
  EXPECT_EQ(Auth.Check({"10.0.0.1", false, "", "vizmora_session=" + Session + "x", ""}).Status, 401);
  Auth.Logout(Cookie);
  EXPECT_EQ(Auth.Check({"10.0.0.1", false, "", Cookie, ""}).Status, 401);
}
