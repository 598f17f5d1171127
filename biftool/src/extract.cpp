#include "extract.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>

#include "fsutil.h"

#if defined(__linux__)
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#if defined(O_TMPFILE)
#define BIFTOOL_UNNAMED_FILES 1
#endif
#endif

namespace bif {

void print_listing(const Archive& archive, const std::vector<Planned>& plan, std::ostream& out) {
  std::size_t width = 12;
  for (const Planned& p : plan) width = std::max(width, p.file_name.size());
  char line[512];
  std::snprintf(line, sizeof line, "%-*s  %-6s  %12s  %6s\n", static_cast<int>(width), "Name", "Type", "Size", "Tiles");
  out << line;
  u64 total = 0;
  std::size_t damaged = 0;
  for (const Planned& p : plan) {
    const Entry& e = archive.entries()[p.entry];
    out << p.file_name;
    for (std::size_t i = p.file_name.size(); i < width; ++i) out << ' ';
    std::snprintf(line, sizeof line, "  %-6s  %12" PRIu64, hex16(e.type).c_str(), e.output_size());
    out << line;
    if (e.tileset) {
      std::snprintf(line, sizeof line, "  %6u", static_cast<unsigned>(e.tiles));
      out << line;
    }
    if (e.damaged) {
      out << "  DAMAGED";
      ++damaged;
    } else {
      total += e.output_size();
    }
    out << '\n';
  }
  out << "Total: " << plan.size() << (plan.size() == 1 ? " resource, " : " resources, ") << total << " bytes";
  if (damaged) out << " (" << damaged << " damaged, not counted)";
  out << '\n';
}

namespace {

namespace fs = std::filesystem;

// One output file, complete or absent: data goes to a file without the resource's name (on Linux
// an unnamed O_TMPFILE inode, else "NAME.~part") that gets the name only when fully written and
// closed. A crash or a failed write never leaves a cut-short file under the resource's name.
class OutputFile {
 public:
  OutputFile(const fs::path& dir, const fs::path& final_path, const fs::path& part_path)
      : dir_(dir), final_(final_path), part_(part_path) {}
  ~OutputFile() { abandon(); }

  bool create(std::string& why) {
#ifdef BIFTOOL_UNNAMED_FILES
    if (unnamed_usable()) {
      fd_ = ::open(dir_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
      if (fd_ >= 0) {
        unnamed_ = true;
        return true;
      }
      if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
        why = fsx::last_error();
        return false;
      }
      unnamed_state() = 0;  // this file system cannot: use named temporary files from now on
    }
    fd_ = ::open(part_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) why = fsx::last_error();
    return fd_ >= 0;
#else
    f_ = fsx::open(part_, "wb");
    if (!f_) {
      why = fsx::last_error();
      return false;
    }
    std::setvbuf(f_, nullptr, _IONBF, 0);
    return true;
#endif
  }

  bool write(const unsigned char* p, std::size_t n, std::string& why) {
#ifdef BIFTOOL_UNNAMED_FILES
    while (n > 0) {
      ssize_t w = ::write(fd_, p, n);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        why = w < 0 ? fsx::last_error() : std::string("nothing written");
        return false;
      }
      p += w;
      n -= static_cast<std::size_t>(w);
    }
    return true;
#else
    if (std::fwrite(p, 1, n, f_) == n) return true;
    why = fsx::last_error();
    return false;
#endif
  }

  // Closes the file and gives it its name, replacing any file of that name.
  bool commit(std::string& why) {
#ifdef BIFTOOL_UNNAMED_FILES
    int fd = fd_;
    fd_ = -1;
    if (unnamed_) {
      char proc[64];
      std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
      bool linked = ::linkat(AT_FDCWD, proc, AT_FDCWD, final_.c_str(), AT_SYMLINK_FOLLOW) == 0;
      if (!linked && errno == EEXIST) {
        // Re-extraction: link under the temporary name, then rename over the old file.
        fsx::remove_quietly(part_);
        if (::linkat(AT_FDCWD, proc, AT_FDCWD, part_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
          why = fsx::last_error();
          ::close(fd);
          return false;
        }
        named_part_ = true;
      } else if (!linked) {
        why = fsx::last_error();
        ::close(fd);
        return false;
      }
    } else {
      named_part_ = true;
    }
    if (::close(fd) != 0) {
      why = fsx::last_error();
      if (unnamed_ && !named_part_) fsx::remove_quietly(final_);  // linked in, but not all written
      return false;
    }
#else
    int rc = std::fclose(f_);
    f_ = nullptr;
    named_part_ = true;
    if (rc != 0) {
      why = fsx::last_error();
      return false;
    }
#endif
    if (named_part_ && !fsx::rename_replace(part_, final_, why)) return false;
    named_part_ = false;
    return true;
  }

  // Drops whatever was written.
  void abandon() {
#ifdef BIFTOOL_UNNAMED_FILES
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
      if (!unnamed_) named_part_ = true;
    }
#else
    if (f_) {
      std::fclose(f_);
      f_ = nullptr;
      named_part_ = true;
    }
#endif
    if (named_part_) fsx::remove_quietly(part_);
    named_part_ = false;
  }

 private:
#ifdef BIFTOOL_UNNAMED_FILES
  // -1 not yet known, 0 unusable, 1 usable (needs /proc to give the file a name).
  static int& unnamed_state() {
    static int state = -1;
    return state;
  }
  static bool unnamed_usable() {
    if (unnamed_state() < 0) unnamed_state() = ::access("/proc/self/fd", X_OK) == 0 ? 1 : 0;
    return unnamed_state() == 1;
  }
  int fd_ = -1;
  bool unnamed_ = false;
#else
  std::FILE* f_ = nullptr;
#endif
  fs::path dir_, final_, part_;
  bool named_part_ = false;  // a file exists under part_
};

}  // namespace

ExtractStats extract_all(Archive& archive, const std::vector<Planned>& plan, const std::filesystem::path& out_dir,
                         const std::function<void(std::size_t, std::size_t)>& progress) {
  namespace fs = std::filesystem;
  ExtractStats st;
  auto t0 = std::chrono::steady_clock::now();
  std::string dir_text = fsx::to_utf8(out_dir);
  std::error_code ec;
  if (fs::exists(out_dir, ec) && !fs::is_directory(out_dir, ec))
    throw Error(dir_text + ": cannot extract into it: it exists and is not a folder");
  fs::create_directories(out_dir, ec);
  if (ec) throw Error(dir_text + ": cannot create the folder: " + ec.message());

  // Read in archive order so that compressed archives decompress forward.
  std::vector<const Planned*> order;
  order.reserve(plan.size());
  for (const Planned& p : plan) order.push_back(&p);
  const auto& entries = archive.entries();
  std::stable_sort(order.begin(), order.end(), [&](const Planned* a, const Planned* b) {
    return entries[a->entry].offset < entries[b->entry].offset;
  });

  std::vector<unsigned char> buf(1 << 20);
  Source& data = archive.data();
  std::size_t done = 0;
  for (const Planned* p : order) {
    const Entry& e = entries[p->entry];
    if (progress) progress(done, plan.size());
    ++done;
    if (e.damaged) {
      st.errors.push_back(archive.problem(e) + "; " + p->file_name + " not extracted");
      continue;
    }
    fs::path final_path = out_dir / fsx::from_utf8(p->file_name);
    fs::path part_path = out_dir / fsx::from_utf8(p->file_name + kPartSuffix);
    std::string shown = fsx::to_utf8(final_path);
    OutputFile out(out_dir, final_path, part_path);
    std::string why;
    if (!out.create(why)) {
      st.errors.push_back(shown + ": cannot create: " + why);
      st.stopped = true;
      break;
    }
    bool write_failed = false;
    try {
      u64 pos = e.offset, left = e.size;
      std::size_t fill = 0;
      if (e.tileset) {
        Archive::tis_header(e, buf.data());
        fill = 24;
      }
      do {
        std::size_t take = static_cast<std::size_t>(std::min<u64>(left, buf.size() - fill));
        data.read(pos, buf.data() + fill, take);
        pos += take;
        left -= take;
        fill += take;
        if (fill && !out.write(buf.data(), fill, why)) {
          write_failed = true;
          break;
        }
        fill = 0;
      } while (left > 0);
    } catch (const Error& err) {
      out.abandon();
      st.errors.push_back(std::string(err.what()) + "; " + p->file_name + " not extracted");
      continue;
    }
    if (write_failed || !out.commit(why)) {
      out.abandon();
      st.errors.push_back(shown + ": cannot write: " + why);
      st.stopped = true;
      break;
    }
    ++st.files;
    st.bytes += e.output_size();
  }
  if (progress) progress(done, plan.size());
  st.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return st;
}

}  // namespace bif
