#pragma once
// A list shared by every copy of its owner until one of the copies changes it (copy on write), with
// the part of std::vector's interface its users need.
#include <cstddef>
#include <memory>
#include <vector>

namespace libkub {

template <typename Element> class SharedList {
  public:
    SharedList() = default;
    SharedList(std::vector<Element> elements)
        : shared(std::make_shared<std::vector<Element>>(std::move(elements)))
    {
    }

    std::size_t size() const { return shared ? shared->size() : 0; }
    bool empty() const { return size() == 0; }
    const Element* begin() const { return shared ? shared->data() : nullptr; }
    const Element* end() const { return begin() + size(); }
    const Element& operator[](std::size_t index) const { return (*shared)[index]; }

    // Changing the list first gives this copy a list of its own.
    Element& operator[](std::size_t index) { return own()[index]; }
    void resize(std::size_t count) { own().resize(count); }
    // Lets go of the list (the other copies keep theirs).
    void clear() { shared.reset(); }
    void shrink_to_fit() {}

  private:
    std::vector<Element>& own()
    {
        if (!shared) {
            shared = std::make_shared<std::vector<Element>>();
        } else if (shared.use_count() > 1) {
            shared = std::make_shared<std::vector<Element>>(*shared);
        }
        return *shared;
    }

    std::shared_ptr<std::vector<Element>> shared;
};

} // namespace libkub
