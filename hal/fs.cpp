#include "hal/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <vector>

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The smallest case-insensitive match keeps the choice stable whatever order
// the directory lists its entries in.
bool FindCaseInsensitive(const std::string& dir, const std::string& name, std::string* found) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return false;
  bool any = false;
  while (dirent* e = ::readdir(d)) {
    if (::strcasecmp(e->d_name, name.c_str()) != 0) continue;
    if (!any || std::string(e->d_name) < *found) *found = e->d_name;
    any = true;
  }
  ::closedir(d);
  return any;
}

}  // namespace

std::string HalResolvePath(const char* gamePath) {
  std::string path(gamePath ? gamePath : "");
  for (char& c : path)
    if (c == '\\') c = '/';

  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }

  std::string out;
  bool matching = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    if (i > 0) out += '/';
    if (part.empty() || part == "." || part == ".." || !matching) {
      out += part;
      continue;
    }
    std::string candidate = out + part;
    if (Exists(candidate)) {
      out = candidate;
      continue;
    }
    std::string found;
    if (FindCaseInsensitive(out, part, &found)) {
      out += found;
    } else {
      out += part;
      matching = false;
    }
  }
  return out;
}

int HalFdOpen(const char* gamePath, HalOpenMode mode) {
  int flags = 0;
  switch (mode) {
    case HAL_OPEN_READ: flags = O_RDONLY; break;
    case HAL_OPEN_WRITE_CREATE: flags = O_WRONLY | O_CREAT; break;
    case HAL_OPEN_READ_WRITE: flags = O_RDWR; break;
    case HAL_OPEN_WRITE: flags = O_WRONLY; break;
    default: return -1;
  }
  std::string path = HalResolvePath(gamePath);
  if (path.empty()) return -1;
  int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int HalFdClose(int fd) { return ::close(fd) == 0 ? 0 : -1; }

int64_t HalFdRead(int fd, void* buffer, uint64_t count) {
  uint64_t done = 0;
  auto* p = static_cast<char*>(buffer);
  while (done < count) {
    ssize_t n = ::read(fd, p + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<uint64_t>(n);
  }
  return static_cast<int64_t>(done);
}

int64_t HalFdWrite(int fd, const void* buffer, uint64_t count) {
  uint64_t done = 0;
  auto* p = static_cast<const char*>(buffer);
  while (done < count) {
    ssize_t n = ::write(fd, p + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    done += static_cast<uint64_t>(n);
  }
  return static_cast<int64_t>(done);
}

int64_t HalFdSeek(int fd, int64_t offset, int origin) {
  int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : -1;
  if (whence < 0) return -1;
  off_t r = ::lseek(fd, static_cast<off_t>(offset), whence);
  return r < 0 ? -1 : static_cast<int64_t>(r);
}

int64_t HalFdLength(int fd) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

namespace {

// Makes the rename itself survive a crash; the new file is complete by then
// whatever happens here.
void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A name beside `target` that nothing else holds, created and opened for writing.
int CreateTemporary(const std::string& target, mode_t mode, std::string* temporary) {
  static std::atomic<uint32_t> serial{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temporary = target + "." + std::to_string(::getpid()) + "." + std::to_string(serial++) + ".tmp";
    int fd = ::open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool HalWriteFileAtomic(const char* gamePath, const void* data, uint64_t size) {
  if (!gamePath || (!data && size > 0)) return false;
  const std::string target = HalResolvePath(gamePath);
  if (target.empty() || target.back() == '/') return false;
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);

  struct stat old;
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (replacing && !S_ISREG(old.st_mode)) return false;

  std::string temporary;
  int fd = CreateTemporary(target, 0666, &temporary);
  if (fd < 0) return false;
  bool ok = !replacing || ::fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && HalFdWrite(fd, data, size) == static_cast<int64_t>(size);
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}
