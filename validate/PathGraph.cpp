#include "validate/PathGraph.h"

#include <algorithm>

PathGraph::PathGraph(int size, const std::vector<std::pair<int, int>>& edges)
    : m_size(size), m_forward(build(size, edges, false)), m_backward(build(size, edges, true))
{
}

PathGraph::Adjacency PathGraph::build(int size, const std::vector<std::pair<int, int>>& edges, bool reversed)
{
    Adjacency adjacency;
    adjacency.start.assign(static_cast<std::size_t>(size) + 1, 0);
    for (const auto& [from, to] : edges)
        ++adjacency.start[static_cast<std::size_t>(reversed ? to : from) + 1];
    for (std::size_t node = 1; node < adjacency.start.size(); ++node)
        adjacency.start[node] += adjacency.start[node - 1];
    adjacency.targets.resize(edges.size());
    std::vector<int> next(adjacency.start.begin(), adjacency.start.end() - 1);
    for (const auto& [from, to] : edges) {
        const int source = reversed ? to : from;
        adjacency.targets[static_cast<std::size_t>(next[static_cast<std::size_t>(source)]++)] = reversed ? from : to;
    }
    return adjacency;
}

std::vector<char> PathGraph::search(const Adjacency& adjacency, const std::vector<int>& seeds)
{
    std::vector<char> reached(adjacency.start.size() - 1, 0);
    std::vector<int> pending;
    for (const int seed : seeds) {
        if (!reached[static_cast<std::size_t>(seed)]) {
            reached[static_cast<std::size_t>(seed)] = 1;
            pending.push_back(seed);
        }
    }
    while (!pending.empty()) {
        const auto node = static_cast<std::size_t>(pending.back());
        pending.pop_back();
        for (int edge = adjacency.start[node]; edge < adjacency.start[node + 1]; ++edge) {
            const int target = adjacency.targets[static_cast<std::size_t>(edge)];
            if (!reached[static_cast<std::size_t>(target)]) {
                reached[static_cast<std::size_t>(target)] = 1;
                pending.push_back(target);
            }
        }
    }
    return reached;
}

std::vector<char> PathGraph::reachedFrom(const std::vector<int>& seeds) const
{
    return search(m_forward, seeds);
}

std::vector<char> PathGraph::reaching(const std::vector<int>& seeds) const
{
    return search(m_backward, seeds);
}

// Tarjan's search with a stack of its own: a chain of thousands of controls is as deep as the
// search goes.
std::vector<int> PathGraph::components() const
{
    const auto count = static_cast<std::size_t>(m_size);
    std::vector<int> order(count, -1);
    std::vector<int> low(count, 0);
    std::vector<int> component(count, -1);
    std::vector<char> open(count, 0);
    std::vector<int> held;
    struct Frame {
        int node;
        int edge;
    };
    std::vector<Frame> frames;
    int visited = 0;
    int found = 0;
    const auto enter = [&](int node) {
        const auto at = static_cast<std::size_t>(node);
        order[at] = low[at] = visited++;
        held.push_back(node);
        open[at] = 1;
        frames.push_back({node, m_forward.start[at]});
    };
    for (int root = 0; root < m_size; ++root) {
        if (order[static_cast<std::size_t>(root)] >= 0)
            continue;
        enter(root);
        while (!frames.empty()) {
            const int node = frames.back().node;
            const auto at = static_cast<std::size_t>(node);
            if (frames.back().edge < m_forward.start[at + 1]) {
                const int target = m_forward.targets[static_cast<std::size_t>(frames.back().edge++)];
                const auto to = static_cast<std::size_t>(target);
                if (order[to] < 0)
                    enter(target);
                else if (open[to])
                    low[at] = std::min(low[at], order[to]);
                continue;
            }
            frames.pop_back();
            if (!frames.empty()) {
                const auto parent = static_cast<std::size_t>(frames.back().node);
                low[parent] = std::min(low[parent], low[at]);
            }
            if (low[at] != order[at])
                continue;
            int member = -1;
            do {
                member = held.back();
                held.pop_back();
                open[static_cast<std::size_t>(member)] = 0;
                component[static_cast<std::size_t>(member)] = found;
            } while (member != node);
            ++found;
        }
    }
    return component;
}

std::vector<char> PathGraph::componentsLeft(const std::vector<int>& component, int count) const
{
    std::vector<char> left(static_cast<std::size_t>(count), 0);
    for (std::size_t node = 0; node < component.size(); ++node) {
        for (int edge = m_forward.start[node]; edge < m_forward.start[node + 1]; ++edge) {
            const int target = m_forward.targets[static_cast<std::size_t>(edge)];
            if (component[static_cast<std::size_t>(target)] != component[node])
                left[static_cast<std::size_t>(component[node])] = 1;
        }
    }
    return left;
}
