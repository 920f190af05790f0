/* Built against an installed Fotolien through its pkg-config file: the
 * header compiles as C, the library links and loads, and a call that needs no
 * camera answers. */
#include <fotolien.h>
#include <stdio.h>

int main(void) {
    int32_t waiting = -1;
    if (GetWaitingFileNumber(NULL) != 0) {
        fprintf(stderr, "GetWaitingFileNumber(NULL) failed\n");
        return 1;
    }
    if (GetWaitingFileNumber(&waiting) != 0 || waiting != 0) {
        fprintf(stderr, "no camera, yet %d files waiting\n", (int)waiting);
        return 1;
    }
    return 0;
}
