#include "support/game.h"

#include "support/options.h"

namespace e2e {

Game::Game(const std::string& name) : root_(name)
{
    data_ = join(root_.path(), "data");
    elsewhere_ = join(root_.path(), "elsewhere");
    make_folder(data_);
    make_folder(elsewhere_);
    write_file(join(root_.path(), "chitin.key"), "KEY V1  ");
    copy_file(windows_path(option("vintrel")), vintrel());
    if (has_option("recorder")) copy_file(windows_path(option("recorder")), tool());
}

void Game::add_file(const std::string& name)
{
    write_file(join(data_, name), "BIFFV1  ");
}

} // namespace e2e
