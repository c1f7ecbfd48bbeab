// Files for Linux. Native handles are file descriptors plus one, so that 0 stays "no file".
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform_file.h"

namespace {
int AsDescriptor(NativeHandle file) { return static_cast<int>(file - 1); }
NativeHandle FromDescriptor(int descriptor) { return descriptor < 0 ? 0 : static_cast<NativeHandle>(descriptor) + 1; }
}  // namespace

NativeHandle PlatformFileCreate(const char* name) {
  if (name == nullptr) return 0;
  int descriptor = open(name, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (descriptor < 0) descriptor = open(name, O_WRONLY | O_TRUNC | O_CLOEXEC);
  return FromDescriptor(descriptor);
}

NativeHandle PlatformFileOpenRead(const char* name) {
  if (name == nullptr) return 0;
  return FromDescriptor(open(name, O_RDONLY | O_CLOEXEC));
}

std::int32_t PlatformFileRead(NativeHandle file, void* destination, std::int32_t count) {
  if (count < 0) return -1;
  ssize_t done;
  do {
    done = read(AsDescriptor(file), destination, static_cast<size_t>(count));
  } while (done < 0 && errno == EINTR);
  return done < 0 ? -1 : static_cast<std::int32_t>(done);
}

std::int32_t PlatformFileWrite(NativeHandle file, const void* source, std::int32_t count) {
  if (count < 0) return -1;
  // A Win32 WriteFile to a disk file writes everything or fails; do the same.
  const char* next = static_cast<const char*>(source);
  std::int32_t written = 0;
  while (written < count) {
    const ssize_t done = write(AsDescriptor(file), next + written, static_cast<size_t>(count - written));
    if (done < 0) {
      if (errno == EINTR) continue;
      return written > 0 ? written : -1;
    }
    written += static_cast<std::int32_t>(done);
  }
  return written;
}

bool PlatformFileSeekCurrent(NativeHandle file, std::int32_t delta) {
  return lseek(AsDescriptor(file), delta, SEEK_CUR) != static_cast<off_t>(-1);
}

void PlatformFileClose(NativeHandle file) {
  if (file != 0) close(AsDescriptor(file));
}

bool PlatformFileDelete(const char* name) { return name != nullptr && unlink(name) == 0; }

bool PlatformFileReplace(const char* source, const char* target) { return rename(source, target) == 0; }

std::int64_t PlatformFileSize(const char* name) {
  struct stat status;
  if (name == nullptr || stat(name, &status) != 0 || !S_ISREG(status.st_mode)) return -1;
  return static_cast<std::int64_t>(status.st_size);
}
