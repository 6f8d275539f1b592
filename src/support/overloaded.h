// Builds a visitor from lambdas: std::visit(Overloaded{[](const Sif&) {...}, ...}, n.variant()).
#pragma once

namespace vrel {

template <class... Fs>
struct Overloaded : Fs... {
  using Fs::operator()...;
};
template <class... Fs>
Overloaded(Fs...) -> Overloaded<Fs...>;

}  // namespace vrel
