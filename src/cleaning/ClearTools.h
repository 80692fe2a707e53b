#pragma once

#include <string>

namespace harbormind {

class UserDatabase;

class ClearTools {
public:
    // The current user's home folder as the user database records it for the real user id
    // (not the environment's HOME); empty when the database has no answer.
    static std::string getUserPath();
    static std::string getUserPath(UserDatabase& users);
};

}  // namespace harbormind
