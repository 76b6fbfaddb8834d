// The bash completion that the package installs, run in a real bash against the programs of
// this build: subcommands, each subcommand's options (taken from its --help), and values.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include <string>

namespace {

// What completing the last word of `line` offers, one candidate per line.
std::string Complete(const std::string& line) {
  const std::string script = "source '" DTU_SOURCE_DIR
                             "/packaging/completion/dtu-config.bash'\n"
                             "COMP_LINE='" +
                             line + "'\n" +
                             "read -ra COMP_WORDS <<<\"$COMP_LINE\"\n"
                             "[[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')\n"
                             "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
                             "_dtu_config\n"
                             "printf '%s\\n' \"${COMPREPLY[@]}\" | sort\n";
  QProcess bash;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("PATH", QString(DTU_BIN_DIR ":") + env.value("PATH"));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  bash.setProcessEnvironment(env);
  bash.start("bash", {"-c", QString::fromStdString(script)});
  if (!bash.waitForFinished(30000)) return "(bash did not end)";
  return bash.readAllStandardOutput().toStdString();
}

}  // namespace

TEST(Completion, OffersSubcommandsOptionsAndValues) {
  struct Case {
    const char* line;
    const char* offered;
  };
  const Case cases[] = {
      {"dtu-config ap", "apply\n"},
      {"dtu-config s", "set\nshow\n"},
      {"dtu-config n", "new\n"},
      {"dtu-config new --model ", "3dio\n3dio-lora\n3dio-zigbee\n5dio\ngps\n"},
      {"dtu-config new --model 5", "5dio\n"},
      {"dtu-config apply --per", "--per-device\n"},
      {"dtu-config --la", "--lang\n"},
      {"dtu-config --lang ", "en\nzh\n"},
      {"dtu-config apply --dry", "--dry-run\n"},
      {"dtu-config read --st", "--stay\n"},
      {"dtu-config show --js", "--json\n"},
      {"dtu-config read --line 8E", "8E1\n"},
      {"dtu-sim --model zr350v", "zr350v4\n"},
      {"dtu-sim --vers", "--version\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Complete(c.line), c.offered) << c.line;
}
