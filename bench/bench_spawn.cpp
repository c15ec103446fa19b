// Starts a program N times and prints the wall time of each start (from
// fork to exit) and the largest peak resident memory of the runs, so that a
// program can be compared with a trivial one on the same machine. Its output
// goes to /dev/null.
//
//   treva_bench_spawn N PROGRAM [ARGS...]
// prints: runs=N mean_ms=.. median_ms=.. min_ms=.. max_rss_kb=.. status=..
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: treva_bench_spawn N PROGRAM [ARGS...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    if (runs < 1) return 2;
    std::vector<double> ms;
    long maxRss = 0;
    int lastStatus = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child < 0) return perror("fork"), 2;
        if (child == 0) {
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0) dup2(null, STDOUT_FILENO);
            execvp(argv[2], argv + 2);
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        if (wait4(child, &status, 0, &usage) < 0) return perror("wait4"), 2;
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        maxRss = std::max(maxRss, usage.ru_maxrss); // kilobytes on Linux
        lastStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (lastStatus != 0) {
            std::fprintf(stderr, "treva_bench_spawn: %s exited with %d\n", argv[2], lastStatus);
            return 1;
        }
    }
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double v : ms) sum += v;
    std::printf("runs=%d mean_ms=%.3f median_ms=%.3f min_ms=%.3f max_rss_kb=%ld status=%d\n", runs, sum / runs,
                sorted[sorted.size() / 2], sorted.front(), maxRss, lastStatus);
    return 0;
}
