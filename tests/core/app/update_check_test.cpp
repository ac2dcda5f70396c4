#include "core/app/update_check.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kNewerInArchive = R"(tillwise:
  Installed: 1.0.3
  Candidate: 1.0.4
  Version table:
     1.0.4 500
        500 http://till.example/debian bookworm/main amd64 Packages
 *** 1.0.3 100
        100 /var/lib/dpkg/status
)";

// Installed from a .deb file, with no archive that knows the package.
constexpr const char* kOnlyInstalled = R"(tillwise:
  Installed: 1.0.3
  Candidate: 1.0.3
  Version table:
 *** 1.0.3 100
        100 /var/lib/dpkg/status
)";

constexpr const char* kUpToDate = R"(tillwise:
  Installed: 1.0.4
  Candidate: 1.0.4
  Version table:
 *** 1.0.4 500
        500 http://till.example/debian bookworm/main amd64 Packages
        100 /var/lib/dpkg/status
)";

constexpr const char* kNotInstalled = R"(tillwise:
  Installed: (none)
  Candidate: 1.0.4
  Version table:
     1.0.4 500
        500 file:/srv/archive bookworm/main amd64 Packages
)";

TEST(UpdateCheckTest, ReadsInstalledAndCandidateAndTellsAnArchiveFromTheInstalledCopy) {
  app::UpdateCheck newer = app::ParseAptPolicy(kNewerInArchive);
  EXPECT_EQ(newer.state, app::UpdateState::kNewer);
  EXPECT_EQ(newer.installed, "1.0.3");
  EXPECT_EQ(newer.candidate, "1.0.4");
  EXPECT_EQ(app::ParseAptPolicy(kOnlyInstalled).state, app::UpdateState::kNoSource);
  EXPECT_EQ(app::ParseAptPolicy(kUpToDate).state, app::UpdateState::kUpToDate);
  app::UpdateCheck source_build = app::ParseAptPolicy(kNotInstalled);
  EXPECT_EQ(source_build.state, app::UpdateState::kNotInstalled);
  EXPECT_EQ(source_build.installed, "");
  EXPECT_EQ(app::ParseAptPolicy("tillwise:\n  Installed: (none)\n  Candidate: (none)\n"
                                "  Version table:\n")
                .state,
            app::UpdateState::kNoSource);
  EXPECT_EQ(app::ParseAptPolicy("").state, app::UpdateState::kNoSource);
}

}  // namespace
