#include "progress_bar.h"

#include <unistd.h>

#include <cstdio>
#include <string>

ProgressBar::ProgressBar() : terminal_(isatty(STDERR_FILENO) != 0), start_(std::chrono::steady_clock::now()) {}

void ProgressBar::show(int64_t done, int64_t total)
{
    if (!terminal_ || total <= 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && done < total && now - lastDrawn_ < std::chrono::milliseconds(100))
        return;
    lastDrawn_ = now;
    drawn_ = true;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? done / seconds : 0;
    const auto left = static_cast<long>(rate > 0 ? (total - done) / rate : 0);
    constexpr int kWidth = 30;
    const auto filled = static_cast<int>(kWidth * done / total);
    const std::string bar = std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(kWidth - filled), '.');
    std::fprintf(stderr, "\r[%s] %lld/%lld frames  %.1f fps  %ld:%02ld left ", bar.c_str(),
                 static_cast<long long>(done), static_cast<long long>(total), rate, left / 60, left % 60);
    std::fflush(stderr);
}

void ProgressBar::finish()
{
    if (drawn_)
        std::fputc('\n', stderr);
    drawn_ = false;
}
