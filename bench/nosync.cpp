// Measurement aid, never shipped: loaded with LD_PRELOAD into the benchmark's worker, it turns
// fsync, fdatasync, syncfs and sync_file_range into no-ops, so that the benchmark can show what
// making the results durable costs on the output's file system.
#include <fcntl.h>
#include <unistd.h>

extern "C" int fsync(int) {
    return 0;
}
extern "C" int fdatasync(int) {
    return 0;
}
extern "C" int syncfs(int) {
    return 0;
}
extern "C" int sync_file_range(int, off64_t, off64_t, unsigned int) {
    return 0;
}
