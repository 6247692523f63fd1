#pragma once

#include <QString>
#include <QStringList>

// What the shell needs to start: where the server is, who logs in, and the host's fixed branch.
// Values come from the settings file and are overridden by the command line.
class ShellOptions {
public:
    QString serverHost = QStringLiteral("127.0.0.1");
    int serverPort = 8080;
    QString fixedBranch;    // empty: the host works with every branch
    QString operatorCode;   // pre-filled in the login dialog
    QString password;       // with an operator: log in without asking (make run)
    QString passwordFile;   // the password's first line comes from this file
    QString openModule;     // module code opened right after login
    QString settingsPath;   // the settings file in use
    QString screenshotPath; // write a picture of the screen there once started, then quit
    QStringList moduleDirs; // extra folders searched for module libraries
    bool showHelp = false;

    // Default settings file: $XDG_CONFIG_HOME/fyn/shell.ini or ~/.config/fyn/shell.ini.
    static QString defaultSettingsPath();

    // Reads the settings file at settingsPath (missing file: defaults stay).
    void loadSettings();
    // Writes the remembered values (server address, fixed branch, last operator).
    bool saveSettings() const;

    // Applies command-line arguments; returns an empty text or a message naming the bad one.
    // Without --password the password comes from --password-file, else from FYN_PASSWORD.
    QString parseArguments(const QStringList& arguments);

    static constexpr const char* kPasswordVariable = "FYN_PASSWORD";

    // Parses "host:port" into the server fields; false (and nothing changed) when malformed.
    bool setServer(const QString& hostAndPort);

    // Branch codes are four digits: "1" becomes "0001"; empty when not a number of 1-4 digits.
    static QString normaliseBranch(const QString& text);

    static QString usage();

private:
    QString readPassword();
};
