// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_SHELL_SCRIPTEDQUESTIONS_H
#define PELLAMY_TESTS_SHELL_SCRIPTEDQUESTIONS_H

#include "shell/FileCommands.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace pellamy {

/// Answers questions from a script and keeps each one asked as "caption: question"; a question
/// beyond the script fails the test.
class ScriptedQuestions final : public Questions
{
public:
    bool AskYesNo(const std::string& question, const std::string& caption) override
    {
        Asked.push_back(caption + ": " + question);
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected question " << question;
            return false;
        }
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }

    std::deque<bool> Answers;
    std::vector<std::string> Asked;
};

} // namespace pellamy

#endif
