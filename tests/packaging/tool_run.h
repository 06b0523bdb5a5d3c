#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace scanvale::test {

// What a finished command-line tool left behind.
struct ToolResult {
    bool finished = false; // false when it could not start or outran the timeout
    int exitCode = -1;
    QString output; // standard output and standard error, merged
};

// Runs a tool to completion; a tool that outruns the timeout is killed.
ToolResult
RunTool(const QString& program, const QStringList& arguments, int timeoutMs = 60000,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

} // namespace scanvale::test
