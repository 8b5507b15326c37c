// The e2e programs' main: the path of Velmaris.exe from the environment or
// the command line, then every test.
#include <stdlib.h>
#include <string.h>

#include "driver.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (const char* env = getenv("VELMARIS_EXE"))
        e2e::SetVelmarisPath(env);
    for (int i = 1; i < argc; ++i)
        if (strncmp(argv[i], "--velmaris=", 11) == 0)
            e2e::SetVelmarisPath(argv[i] + 11);
    return RUN_ALL_TESTS();
}
