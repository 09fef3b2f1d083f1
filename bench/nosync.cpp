// Measurement aid, never shipped: loaded with LD_PRELOAD into the benchmark's worker, it turns
// fsync and fdatasync into no-ops, so that the benchmark can show what the durable commit of
// each result costs on the output's file system.
#include <unistd.h>

extern "C" int fsync(int) {
    return 0;
}
extern "C" int fdatasync(int) {
    return 0;
}
