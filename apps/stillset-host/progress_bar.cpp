#include "progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int64_t kWidth = 30;

std::string minutesAndSeconds(long seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", seconds / 60, seconds % 60);
    return text;
}

} // namespace

ProgressBar::ProgressBar(std::string label, std::string unit)
    : label_(std::move(label)), unit_(std::move(unit)), terminal_(isatty(STDERR_FILENO) != 0),
      start_(std::chrono::steady_clock::now())
{
}

void ProgressBar::show(int64_t done, int64_t total, const std::string& note)
{
    if (!terminal_ || total <= 0)
        return;
    const bool noteChanged = note != note_;
    done_ = std::clamp<int64_t>(done, 0, total);
    total_ = total;
    note_ = note;
    pending_ = true;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && done_ < total_ && !noteChanged && now - lastDrawn_ < std::chrono::milliseconds(100))
        return;
    lastDrawn_ = now;
    draw();
}

void ProgressBar::draw()
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(done_) / seconds : 0;
    const int64_t filled = kWidth * done_ / total_;
    std::string line = "\r";
    if (!label_.empty())
        line += label_ + " ";
    line += "[" + std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(kWidth - filled), '.') +
            "] " + std::to_string(done_) + "/" + std::to_string(total_);
    if (!unit_.empty()) {
        char shown[64];
        std::snprintf(shown, sizeof shown, " %s  %.1f %s/s", unit_.c_str(), rate, unit_.c_str());
        line += shown;
    }
    if (done_ > 0 && done_ < total_ && rate > 0)
        line += "  " + minutesAndSeconds(static_cast<long>((total_ - done_) / rate + 0.5)) + " left";
    if (!note_.empty())
        line += " " + note_;
    line += "\033[K"; // clears what a longer line drawn before left
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    drawn_ = true;
    pending_ = false;
}

void ProgressBar::finish()
{
    if (pending_)
        draw();
    if (drawn_)
        std::fputc('\n', stderr);
    drawn_ = pending_ = false;
}
