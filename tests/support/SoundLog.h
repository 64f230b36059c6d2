// Sounds go to a log instead of the speakers: the names in the order they
// were started.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "game/uSound.h"

namespace tessum::test {

// Sound names in the order they were started ("4steinausmulde", ...).
struct TSoundLog {
    std::vector<std::string> Played;
};

class TLoggingOutput final : public ISoundOutput {
public:
    explicit TLoggingOutput(TSoundLog& Log) : log_(Log) {}
    void Play(const QString& ResourcePath) override {
        QString Name = ResourcePath.section('/', -1);
        if (Name.endsWith(".wav", Qt::CaseInsensitive)) Name.chop(4);
        log_.Played.push_back(Name.toLower().toStdString());
    }
    void Stop() override {}

private:
    TSoundLog& log_;
};

class TSilentOutput final : public ISoundOutput {
public:
    void Play(const QString&) override {}
    void Stop() override {}
};

}  // namespace tessum::test
