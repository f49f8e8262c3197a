#pragma once

#include <QObject>

class ClipmenuTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void replaceText_data();
    void replaceText();
    void transform_data();
    void transform();
    void diacriticsTableMatchesCodePage1250();
    void longPathMatchesTwoFileRoute();
    void megabyteTexts();
    void timeText_data();
    void timeText();

    void clipboardCommand_data();
    void clipboardCommand();
    void dateAndTimeThenPaste();
};
