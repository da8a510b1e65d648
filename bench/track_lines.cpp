// Measures how smoothly a video's picture moves: in a Y4M of a photo ruled with dark lines, it
// follows the vertical and the horizontal line nearest the centre frame by frame (sub-pixel
// centroid of the darkness across the rows of a progressive frame, or of an interlaced frame's top
// field), and prints the largest change of speed in pixels per frame squared and the number of
// steps against the direction of the motion. The search reach grows with the frame, as the lines do.
// Usage: track_lines VIDEO.y4m
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Centroid of the darkness within `reach` of `around` in a profile of mean luma.
double centroid(const std::vector<double>& profile, double around, int reach)
{
    const int first = std::max(0, static_cast<int>(around) - reach);
    const int last = std::min(static_cast<int>(profile.size()) - 1, static_cast<int>(around) + reach);
    const double white = *std::max_element(profile.begin() + first, profile.begin() + last + 1);
    double sum = 0, weight = 0;
    for (int i = first; i <= last; ++i) {
        sum += (white - profile[static_cast<size_t>(i)]) * i;
        weight += white - profile[static_cast<size_t>(i)];
    }
    return weight > 0 ? sum / weight : around;
}

// The darkest place within `reach` of the middle of a profile: where a line is first looked for.
double darkestNearMiddle(const std::vector<double>& profile, int reach)
{
    const auto middle = profile.begin() + static_cast<long>(profile.size() / 2);
    return static_cast<double>(std::min_element(middle - reach, middle + reach) - profile.begin());
}

struct Motion {
    double largestChange = 0;
    int backwardSteps = 0;
};

Motion motionOf(const std::vector<double>& positions)
{
    Motion motion;
    const double direction = positions.back() - positions.front();
    for (size_t i = 1; i < positions.size(); ++i) {
        if ((positions[i] - positions[i - 1]) * direction < -1e-3)
            ++motion.backwardSteps;
        if (i >= 2)
            motion.largestChange = std::max(motion.largestChange,
                                            std::abs(positions[i] - 2 * positions[i - 1] + positions[i - 2]));
    }
    return motion;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: track_lines VIDEO.y4m\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string header;
    std::getline(in, header);
    int width = 0, height = 0;
    bool progressive = false;
    std::istringstream fields(header);
    for (std::string field; fields >> field;) {
        if (field[0] == 'W')
            width = std::stoi(field.substr(1));
        if (field[0] == 'H')
            height = std::stoi(field.substr(1));
        if (field == "Ip")
            progressive = true;
    }
    if (header.rfind("YUV4MPEG2", 0) != 0 || width <= 0 || height <= 0) {
        std::cerr << argv[1] << ": not a Y4M file\n";
        return 1;
    }
    // The top field only of an interlaced frame, so that its two instants are not mixed.
    const int rowStep = progressive ? 1 : 2;
    const int profileRows = height / rowStep;
    // A line of the ruled photo is about 12 pixels wide in a 720-wide frame.
    const int reach = std::max(12, width / 60);
    const size_t chroma = 2 * static_cast<size_t>((width + 1) / 2) * ((height + 1) / 2);
    std::vector<unsigned char> luma(static_cast<size_t>(width) * height);
    std::vector<double> xs, ys;
    // The first frame's line is found near the middle, then its centroid taken twice so that the
    // window sits on the line as it does in every later frame.
    const auto follow = [](std::vector<double>& positions, const std::vector<double>& profile, int within) {
        if (positions.empty())
            positions.push_back(
                centroid(profile, centroid(profile, darkestNearMiddle(profile, 5 * within), within), within));
        else
            positions.push_back(centroid(profile, positions.back(), within));
    };
    std::vector<double> ysInRows;
    for (std::string frame; std::getline(in, frame) && frame.rfind("FRAME", 0) == 0;) {
        in.read(reinterpret_cast<char*>(luma.data()), static_cast<std::streamsize>(luma.size()));
        in.ignore(static_cast<std::streamsize>(chroma));
        if (!in)
            break;
        std::vector<double> columns(static_cast<size_t>(width)), rows(static_cast<size_t>(profileRows));
        for (int y = 0; y < profileRows * rowStep; y += rowStep)
            for (int x = 0; x < width; ++x) {
                const double v = luma[static_cast<size_t>(y) * width + x];
                columns[static_cast<size_t>(x)] += v / profileRows;
                rows[static_cast<size_t>(y / rowStep)] += v / width;
            }
        follow(xs, columns, reach);
        follow(ysInRows, rows, reach / rowStep);
        // Reported in frame pixels.
        ys.push_back(rowStep * ysInRows.back());
    }
    if (xs.size() < 3) {
        std::cerr << argv[1] << ": fewer than three frames\n";
        return 1;
    }
    const Motion across = motionOf(xs), down = motionOf(ys);
    std::printf("%zu frames, line moved %.2f px across and %.2f px down; largest change of speed %.3f px/frame^2 "
                "across, %.3f down; steps backwards %d across, %d down\n",
                xs.size(), xs.back() - xs.front(), ys.back() - ys.front(), across.largestChange, down.largestChange,
                across.backwardSteps, down.backwardSteps);
    return 0;
}
