// Times a program from its start to the moment a picture it shows reaches
// the screen, judged from outside: it starts the command, reads one screen
// pixel every 2 ms until that pixel has the expected colour, and prints the
// elapsed time. Once the picture is up and the program has settled, it also
// prints the program's resident memory, then ends the program.
//
// usage: pixel_watch --x X --y Y --rgb RRGGBB [--tolerance N] [--timeout MS]
//                    [--settle MS] -- COMMAND [ARGUMENT...]
// Prints "start_to_picture_ms <ms>" and "resident_kb <kB>" on standard output.
// Exit status: 0 when the colour showed, 1 when it did not in time or the
// program ended first, 2 on a usage or setup error.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr long kPollNs = 2'000'000;
constexpr int kStopGraceMs = 3000;

struct Options {
  int x = -1;
  int y = -1;
  unsigned rgb = 0;
  bool rgbGiven = false;
  int tolerance = 12;
  int timeoutMs = 10'000;
  int settleMs = 300;
  char** command = nullptr;
};

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
};

volatile sig_atomic_t gInterrupted = 0;

void onSignal(int) { gInterrupted = 1; }

// An X error (the window tree changing under a read, say) must not end the
// watcher with the program still running: the read is simply tried again.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

double nowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::optional<int> parseInt(std::string_view text, int base = 10) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

void usage(const char* self) {
  std::fprintf(stderr,
               "usage: %s --x X --y Y --rgb RRGGBB [--tolerance N] [--timeout MS] "
               "[--settle MS] -- COMMAND [ARGUMENT...]\n",
               self);
}

std::optional<Options> parseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") {
      if (i + 1 < argc) {
        o.command = argv + i + 1;
      }
      break;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "pixel_watch: %s needs a value\n", argv[i]);
      return std::nullopt;
    }
    const std::string_view value = argv[++i];
    std::optional<int> number;
    if (arg == "--rgb") {
      if (!value.empty() && value.front() == '#') {
        number = value.size() == 7 ? parseInt(value.substr(1), 16) : std::nullopt;
      } else {
        number = value.size() == 6 ? parseInt(value, 16) : std::nullopt;
      }
      if (number && *number >= 0) {
        o.rgb = static_cast<unsigned>(*number);
        o.rgbGiven = true;
        continue;
      }
    } else if ((number = parseInt(value)) && *number >= 0) {
      if (arg == "--x") {
        o.x = *number;
        continue;
      }
      if (arg == "--y") {
        o.y = *number;
        continue;
      }
      if (arg == "--tolerance" && *number <= 255) {
        o.tolerance = *number;
        continue;
      }
      if (arg == "--timeout" && *number > 0) {
        o.timeoutMs = *number;
        continue;
      }
      if (arg == "--settle") {
        o.settleMs = *number;
        continue;
      }
    }
    std::fprintf(stderr, "pixel_watch: bad option or value: %s %s\n", argv[i - 1], argv[i]);
    return std::nullopt;
  }
  if (o.x < 0 || o.y < 0 || !o.rgbGiven || o.command == nullptr) {
    return std::nullopt;
  }
  return o;
}

int maskShift(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1UL) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

int channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) {
    return 0;
  }
  const unsigned long bits = mask >> maskShift(mask);
  const unsigned long value = (pixel & mask) >> maskShift(mask);
  return static_cast<int>(value * 255 / bits);
}

// The colour the screen shows at (x, y); the root window's image includes
// every window on top of it.
std::optional<Rgb> readPixel(Display* display, Window root, const Visual* visual, int x, int y) {
  XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) {
    return std::nullopt;
  }
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return Rgb{channel(pixel, visual->red_mask), channel(pixel, visual->green_mask),
             channel(pixel, visual->blue_mask)};
}

bool near(const Rgb& seen, unsigned want, int tolerance) {
  const Rgb w{static_cast<int>((want >> 16) & 0xff), static_cast<int>((want >> 8) & 0xff),
              static_cast<int>(want & 0xff)};
  return std::abs(seen.r - w.r) <= tolerance && std::abs(seen.g - w.g) <= tolerance &&
         std::abs(seen.b - w.b) <= tolerance;
}

void sleepUntil(timespec& next, long stepNs) {
  next.tv_nsec += stepNs;
  while (next.tv_nsec >= 1'000'000'000L) {
    next.tv_nsec -= 1'000'000'000L;
    ++next.tv_sec;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR &&
         !gInterrupted) {
  }
}

// The resident set of the process, in kB, as the kernel reports it.
std::optional<long> residentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      return std::strtol(line.c_str() + 6, nullptr, 10);
    }
  }
  return std::nullopt;
}

bool gReaped = false;

bool reaped(pid_t pid) {
  if (!gReaped) {
    int status = 0;
    gReaped = waitpid(pid, &status, WNOHANG) == pid;
  }
  return gReaped;
}

// The command runs in a process group of its own, so processes it starts end
// with it and do not outlive the measurement.
void stopProgram(pid_t pid) {
  kill(-pid, SIGTERM);
  const double deadline = nowMs() + kStopGraceMs;
  while (nowMs() < deadline) {
    if (reaped(pid)) {
      kill(-pid, SIGKILL);  // whatever else is left in the group
      return;
    }
    usleep(10'000);
  }
  kill(-pid, SIGKILL);
  if (!gReaped) {
    waitpid(pid, nullptr, 0);
  }
}

// Starts the command; returns its pid once exec has succeeded, -1 when it
// failed (the reason printed). A close-on-exec pipe tells the two apart: it
// closes silently on a successful exec and carries errno otherwise.
pid_t startProgram(char** command) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) {
    std::perror("pixel_watch: pipe");
    return -1;
  }
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("pixel_watch: fork");
    return -1;
  }
  if (pid == 0) {
    setpgid(0, 0);
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    execvp(command[0], command);
    const int error = errno;
    [[maybe_unused]] const ssize_t n = write(pipeFds[1], &error, sizeof error);
    _exit(127);
  }
  setpgid(pid, pid);  // also from here, so the group exists before any kill
  close(pipeFds[1]);
  int error = 0;
  ssize_t n = 0;
  do {
    n = read(pipeFds[0], &error, sizeof error);
  } while (n < 0 && errno == EINTR);
  close(pipeFds[0]);
  if (n > 0) {
    std::fprintf(stderr, "pixel_watch: cannot run %s: %s\n", command[0], std::strerror(error));
    waitpid(pid, nullptr, 0);
    return -1;
  }
  return pid;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = parseOptions(argc, argv);
  if (!options) {
    usage(argv[0]);
    return 2;
  }
  const Options& o = *options;

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "pixel_watch: cannot open the X display %s\n",
                 std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(DISPLAY unset)");
    return 2;
  }
  XSetErrorHandler(ignoreXError);
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  const Visual* visual = DefaultVisual(display, screen);
  if (o.x >= DisplayWidth(display, screen) || o.y >= DisplayHeight(display, screen)) {
    std::fprintf(stderr, "pixel_watch: %d,%d is outside the %dx%d screen\n", o.x, o.y,
                 DisplayWidth(display, screen), DisplayHeight(display, screen));
    return 2;
  }
  // A colour already there before the start would time nothing.
  if (const auto before = readPixel(display, root, visual, o.x, o.y);
      before && near(*before, o.rgb, o.tolerance)) {
    std::fprintf(stderr, "pixel_watch: %d,%d already shows %06X before the start\n", o.x, o.y,
                 o.rgb);
    return 2;
  }

  struct sigaction action {};
  action.sa_handler = onSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  const double start = nowMs();
  const pid_t pid = startProgram(o.command);
  if (pid < 0) {
    return 2;
  }

  timespec next{};
  clock_gettime(CLOCK_MONOTONIC, &next);
  std::optional<Rgb> last;
  double shownAt = -1;
  while (!gInterrupted) {
    last = readPixel(display, root, visual, o.x, o.y);
    if (last && near(*last, o.rgb, o.tolerance)) {
      shownAt = nowMs();
      break;
    }
    if (nowMs() - start > o.timeoutMs) {
      break;
    }
    if (reaped(pid)) {
      std::fprintf(stderr, "pixel_watch: %s ended before %06X showed at %d,%d\n", o.command[0],
                   o.rgb, o.x, o.y);
      XCloseDisplay(display);
      return 1;
    }
    sleepUntil(next, kPollNs);
  }
  if (shownAt < 0) {
    if (gInterrupted) {
      std::fprintf(stderr, "pixel_watch: interrupted\n");
    } else if (last) {
      std::fprintf(stderr,
                   "pixel_watch: FAIL: %06X did not show at %d,%d within %d ms (last seen "
                   "%02X%02X%02X)\n",
                   o.rgb, o.x, o.y, o.timeoutMs, last->r, last->g, last->b);
    } else {
      std::fprintf(stderr, "pixel_watch: FAIL: could not read %d,%d within %d ms\n", o.x, o.y,
                   o.timeoutMs);
    }
    stopProgram(pid);
    XCloseDisplay(display);
    return 1;
  }
  std::printf("start_to_picture_ms %.1f\n", shownAt - start);
  std::fflush(stdout);

  timespec settle{};
  clock_gettime(CLOCK_MONOTONIC, &settle);
  sleepUntil(settle, static_cast<long>(o.settleMs) * 1'000'000L);
  const std::optional<long> rss = reaped(pid) ? std::nullopt : residentKb(pid);
  int status = 0;
  if (rss) {
    std::printf("resident_kb %ld\n", *rss);
  } else {
    std::fprintf(stderr, "pixel_watch: %s ended before its memory could be read\n", o.command[0]);
    status = 1;
  }
  std::fflush(stdout);
  stopProgram(pid);
  XCloseDisplay(display);
  return status;
}
