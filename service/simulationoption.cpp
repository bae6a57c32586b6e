#include "simulationoption.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "zutest/usbdevs.h"

namespace {

const char kOption[] = "--simulate";
const char kOptionEquals[] = "--simulate=";
const char kVariable[] = "STRATA_SIMULATE";

// How many arguments the option at argv[i] takes up (0 when it is not there).
int optionWidth(int i, int argc, const char *const *argv, const char **model)
{
    const char *arg = argv[i];
    if (std::strcmp(arg, kOption) == 0) {
        *model = i + 1 < argc ? argv[i + 1] : nullptr;
        return i + 1 < argc ? 2 : 1;
    }
    if (std::strncmp(arg, kOptionEquals, sizeof kOptionEquals - 1) == 0) {
        *model = arg + sizeof kOptionEquals - 1;
        return 1;
    }
    return 0;
}

} // namespace

namespace SimulationOption {

QString model(int argc, const char *const *argv, bool *found)
{
    QString result;
    bool seen = false;
    for (int i = 1; i < argc;) {
        const char *name = nullptr;
        const int width = optionWidth(i, argc, argv, &name);
        if (width == 0) {
            ++i;
            continue;
        }
        seen = true;
        result = name ? QString::fromLocal8Bit(name) : QString();
        i += width;
    }
    if (found)
        *found = seen;
    return result;
}

bool apply(int argc, char **argv)
{
    bool found = false;
    const QByteArray wanted = model(argc, argv, &found).toLocal8Bit();
    if (!found || wanted.isEmpty())
        return true;
    const char *current = std::getenv(kVariable);
    if (current && wanted == current)
        return true;

    setenv(kVariable, wanted.constData(), 1);
    std::fflush(nullptr);
    execv("/proc/self/exe", argv);
    std::fprintf(stderr, "%s: cannot restart on the simulated unit: %s\n",
                 argc > 0 ? argv[0] : "strata", std::strerror(errno));
    return false;
}

bool isSimulated()
{
    const char *current = std::getenv(kVariable);
    return (current && *current) || usbdevs_backend() == USBDEVS_BACKEND_SIM;
}

int strip(int argc, char **argv)
{
    int out = argc > 0 ? 1 : 0;
    for (int i = out; i < argc;) {
        const char *name = nullptr;
        const int width = optionWidth(i, argc, argv, &name);
        if (width > 0) {
            i += width;
            continue;
        }
        argv[out++] = argv[i++];
    }
    if (argv)
        argv[out] = nullptr;
    return out;
}

} // namespace SimulationOption
