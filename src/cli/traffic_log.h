// The traffic with one device, for `-v` on stderr: each command sent and each line received,
// named by the port, in English whatever the program's language. Passwords are masked ("****")
// unless the user asks for them (`-vv`), in what is sent and in the device's replies alike.
#pragma once

#include <ostream>
#include <string>

// `line` with the value of every password it names replaced by "****": a command
// ("AT+PASSWORD=card") or a reply line ("PPP Authentication Password:card").
std::string MaskSecrets(const std::string& line);

class TrafficLog {
 public:
  TrafficLog(std::ostream& out, std::string port, bool showSecrets);

  void Sent(const std::string& command);
  // Bytes as they come: written out a whole line at a time, so that a password split over two
  // chunks is still found.
  void Received(const std::string& bytes);
  void Note(const std::string& text);
  // Writes what is left of an unfinished line.
  void Flush();

 private:
  void Line(const char* mark, std::string text);

  std::ostream& out_;
  std::string port_;
  bool showSecrets_;
  std::string pending_;
};
