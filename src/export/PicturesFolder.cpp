#include "export/PicturesFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <unistd.h>

namespace {
  bool IsAbsolute(const std::string &path)
  {
    return !path.empty() && path[0] == '/';
  }

  std::string HomeFolder()
  {
    const char *home = std::getenv("HOME");
    if(home && *home)
      return home;
    const passwd *entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : std::string();
  }

  // The value of a shell assignment's right side in double quotes, with the
  // escapes the file may use (\", \\, \$, \`) undone; false for another form.
  bool Unquote(const std::string &quoted, std::string &value)
  {
    if(quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
      return false;
    value.clear();
    for(size_t i = 1; i + 1 < quoted.size(); ++i)
    {
      char c = quoted[i];
      if(c == '\\' && i + 2 < quoted.size())
        c = quoted[++i];
      value += c;
    }
    return true;
  }
}

std::string PicturesFolder::FromUserDirs(const std::string &text, const std::string &home)
{
  std::istringstream lines(text);
  std::string line;
  std::string found;
  const std::string key = "XDG_PICTURES_DIR=";
  while(std::getline(lines, line))
  {
    const size_t start = line.find_first_not_of(" \t");
    if(start == std::string::npos || line.compare(start, key.size(), key) != 0)
      continue;
    std::string value;
    const size_t end = line.find_last_not_of(" \t\r");
    if(!Unquote(line.substr(start + key.size(), end + 1 - start - key.size()), value))
      continue;
    // The file allows "$HOME/..." and absolute paths; a later line wins.
    if(value == "$HOME" || value.rfind("$HOME/", 0) == 0)
    {
      if(!home.empty())
        found = home + value.substr(5);
    }
    else if(IsAbsolute(value))
      found = value;
  }
  while(found.size() > 1 && found.back() == '/')
    found.pop_back();
  return found;
}

std::string PicturesFolder::Locate(const std::string &home, const std::string &configHome)
{
  std::string configFolder = IsAbsolute(configHome) ? configHome : (home.empty() ? "" : home + "/.config");
  if(!configFolder.empty())
  {
    std::ifstream file(configFolder + "/user-dirs.dirs");
    if(file)
    {
      std::stringstream text;
      text << file.rdbuf();
      const std::string configured = FromUserDirs(text.str(), home);
      if(!configured.empty())
        return configured;
    }
  }
  return home.empty() ? std::string() : home + "/Pictures";
}

std::string PicturesFolder::Find()
{
  const char *configHome = std::getenv("XDG_CONFIG_HOME");
  const std::string pictures = Locate(HomeFolder(), configHome ? configHome : "");
  return pictures.empty() ? std::string() : pictures + "/" + Subfolder;
}

bool PicturesFolder::Prepare(const std::string &folder, std::string &error)
{
  if(folder.empty())
  {
    error = "there is no home folder to keep pictures in";
    return false;
  }
  std::error_code code;
  std::filesystem::create_directories(folder, code);
  if(!std::filesystem::is_directory(folder))
  {
    error = "cannot make the folder " + folder + (code ? ": " + code.message() : std::string());
    return false;
  }
  return true;
}

std::string PicturesFolder::BaseName(const std::tm &local, int attempt)
{
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string name = std::string(NamePrefix) + stamp;
  if(attempt > 1)
  {
    name += '-';
    name += std::to_string(attempt);
  }
  return name;
}
