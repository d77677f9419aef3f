/* The durable-write floor: replaces one small file as the library replaces its setting
   (temporary file in the same directory, fsync, rename, fsync of the directory).
     durable_write DIRECTORY */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: durable_write DIRECTORY\n");
    return 2;
  }
  char temporary[4096], target[4096];
  snprintf(temporary, sizeof temporary, "%s/.file.XXXXXX", argv[1]);
  snprintf(target, sizeof target, "%s/file", argv[1]);
  static const char contents[] = "tarnel4d setting 1\ndebug on\nlog 12 /tmp/fax.log\nend\n";
  int fd = mkstemp(temporary);
  if (fd < 0 || write(fd, contents, strlen(contents)) != (ssize_t)strlen(contents) ||
      fsync(fd) != 0 || close(fd) != 0 || rename(temporary, target) != 0) {
    perror("durable_write");
    return 1;
  }
  int directory = open(argv[1], O_RDONLY | O_DIRECTORY);
  if (directory < 0 || fsync(directory) != 0) {
    perror("durable_write");
    return 1;
  }
  close(directory);
  return 0;
}
