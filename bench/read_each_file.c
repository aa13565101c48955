/* The floor of a catalogue scan: reads every file of a folder once, as a small C program would
   (one fstat, one buffer of the file's size, one read), and prints how many bytes it read. */
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static long long ReadWhole(const char* path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  struct stat info;
  long long got = 0;
  char* buffer;
  if (fd < 0) {
    return 0;
  }
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return 0;
  }
  buffer = malloc((size_t)info.st_size + 1);
  if (buffer != NULL) {
    while (got < (long long)info.st_size) {
      ssize_t n = read(fd, buffer + got, (size_t)(info.st_size - got));
      if (n <= 0) {
        break;
      }
      got += n;
    }
    free(buffer);
  }
  close(fd);
  return got;
}

int main(int argc, char** argv) {
  DIR* folder;
  struct dirent* entry;
  long long total = 0;
  char path[4096];
  if (argc != 2 || (folder = opendir(argv[1])) == NULL) {
    fprintf(stderr, "usage: read_each_file FOLDER\n");
    return 2;
  }
  while ((entry = readdir(folder)) != NULL) {
    if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) {
      continue;
    }
    snprintf(path, sizeof(path), "%s/%s", argv[1], entry->d_name);
    total += ReadWhole(path);
  }
  closedir(folder);
  printf("%lld\n", total);
  return 0;
}
