#pragma once

// Helpers for the tests of the data folder, the save folder and the
// autosave: a scratch folder, a change of the current directory that is put
// back, and the lines written to standard error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace StoreTestSupport {
  namespace fs = std::filesystem;

  // A fresh folder, removed with everything in it afterwards.
  class ScratchFolder {
  public:
    ScratchFolder()
    {
      std::string pattern = (fs::temp_directory_path() / "vextorn-store-XXXXXX").string();
      if(mkdtemp(pattern.data()))
        root = pattern;
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
    ~ScratchFolder()
    {
      std::error_code ignored;
      // Folders a test made unreadable are opened up again first.
      for(auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, ignored);
          it != fs::recursive_directory_iterator(); it.increment(ignored))
        if(it->is_directory(ignored))
          fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
      fs::remove_all(root, ignored);
    }

    std::string Path(const std::string &name) const { return (root / name).string(); }
    const fs::path &Root() const { return root; }

    // A folder (made with its parents) holding the given files, each a few bytes.
    std::string Folder(const std::string &name, std::initializer_list<const char *> files = {}) const
    {
      const fs::path folder = root / name;
      fs::create_directories(folder);
      for(const char *file : files)
        std::ofstream(folder / file) << "x";
      return folder.string();
    }
    // A folder that holds what a data folder must hold.
    std::string DataFolder(const std::string &name) const { return Folder(name, {"title.bmp", "start.wav"}); }

  private:
    fs::path root;
  };

  // Makes a folder the current directory while it lives.
  class InFolder {
  public:
    explicit InFolder(const fs::path &folder)
      : previous(fs::current_path())
    {
      fs::current_path(folder);
    }
    InFolder(const InFolder &) = delete;
    InFolder &operator=(const InFolder &) = delete;
    ~InFolder()
    {
      std::error_code ignored;
      fs::current_path(previous, ignored);
    }

  private:
    fs::path previous;
  };

  // The permission bits of a file or folder.
  inline unsigned Mode(const std::string &path)
  {
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0u;
  }

  // The number of lines in a captured text.
  inline long Lines(const std::string &text)
  {
    return std::count(text.begin(), text.end(), '\n');
  }

  // Whether the process may write where the permission bits say it may not
  // (root): tests of refused permissions cannot run then.
  inline bool IgnoresPermissions()
  {
    return geteuid() == 0;
  }
}
