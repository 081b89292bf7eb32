#include <string>
#include <vector>

#include "tools/analyse_tool.h"

int main(int argc, char** argv) {
    return RunAnalyseTool(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
