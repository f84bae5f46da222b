#pragma once

#include "numbers/number_classifier.h"

#include <functional>
#include <string>
#include <vector>

namespace vellumax {

// Classifies a batch of stored numbers on every core the machine has; each
// answer stands at its number's index.
std::vector<NumberFacts> classifyBatch(const NumberClassifier& classifier, const std::vector<std::string>& numbers);

// A batch of numbers read from number files, with what the classifier says
// of each.
struct ClassifiedBatch {
    std::vector<std::string> numbers;
    std::vector<NumberFacts> facts;
};

// Reads the number files one after another, line by line as the line reader
// reads (a result file, a merged file, a snapshot), and hands over their
// numbers in order, classified, a batch at a time. Blank lines are no
// numbers and are passed over. A file that cannot be opened throws Error
// "Cannot open file %s", one that fails later FileError, after the batches
// before were handed over.
void classifyNumberFiles(const NumberClassifier& classifier, const std::vector<std::string>& paths,
                         const std::function<void(const ClassifiedBatch&)>& handle);

} // namespace vellumax
