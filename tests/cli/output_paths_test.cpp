// The files of a multi-port read: one per port, decided before any port opens.
#include <gtest/gtest.h>

#include "cli/output_paths.h"

TEST(FilesForPorts, NamesThatMeetAreNumberedByPathAndAThirdCollisionIsRefused) {
  struct Case {
    std::vector<std::string> ports;
    std::vector<std::string> files;  // empty: refused
  };
  const Case cases[] = {
      {{"/dev/ttyUSB0", "/dev/pts/3"}, {"D/ttyUSB0.cfg", "D/pts_3.cfg"}},
      // "/" sorts before "_": the same numbers whatever the order on the command line.
      {{"/x/l1_x", "/x/l1/x"}, {"D/x_l1_x-2.cfg", "D/x_l1_x-1.cfg"}},
      {{"/x/l1/x", "/x/l1_x"}, {"D/x_l1_x-1.cfg", "D/x_l1_x-2.cfg"}},
      {{"/dev/a_b", "/dev/a/b", "/a/b"}, {"D/a_b-3.cfg", "D/a_b-2.cfg", "D/a_b-1.cfg"}},
      // A port named like another's numbered file: refused rather than overwritten.
      {{"/a_b", "/a/b", "/a_b-1"}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> files;
    std::string why;
    const bool named = FilesForPorts(c.ports, "D/", &files, &why);
    EXPECT_EQ(named, !c.files.empty()) << c.ports[0] << " " << why;
    if (named) {
      EXPECT_EQ(files, c.files) << c.ports[0];
    }
    if (!named) {
      EXPECT_NE(why.find("would both be read into D/a_b-1.cfg"), std::string::npos) << why;
    }
  }
}
