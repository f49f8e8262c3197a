#pragma once

#include "project/ProjectPart.h"

// The project opened at start-up and by the default-project button: the one the settings name, else
// default.zp in the projects folder, else a new project bearing that name.
class DefaultProject final : public ProjectPart {
public:
    using ProjectPart::ProjectPart;

    void MakeDefaultCommand();
    void LoadDefaultProject();
};
