#pragma once

#include <utility>
#include <vector>

// A directed graph over the numbers 0 to size - 1, its edges held in one array per direction
// (each node's edges side by side), so that every search below costs the nodes and edges once.
class PathGraph {
public:
    // Edges may repeat; a repeated edge is walked again but changes no answer.
    PathGraph(int size, const std::vector<std::pair<int, int>>& edges);

    int size() const { return m_size; }

    // Every node that a path from one of the seeds reaches, the seeds included.
    std::vector<char> reachedFrom(const std::vector<int>& seeds) const;
    // Every node from which a path reaches one of the seeds, the seeds included.
    std::vector<char> reaching(const std::vector<int>& seeds) const;

    // The strongly connected components: each node's component, numbered from 0.
    std::vector<int> components() const;
    // Of each component, whether an edge leaves it.
    std::vector<char> componentsLeft(const std::vector<int>& component, int count) const;

private:
    struct Adjacency {
        std::vector<int> start; // node i's edges are targets[start[i] .. start[i + 1])
        std::vector<int> targets;
    };
    static Adjacency build(int size, const std::vector<std::pair<int, int>>& edges, bool reversed);
    static std::vector<char> search(const Adjacency& adjacency, const std::vector<int>& seeds);

    int m_size;
    Adjacency m_forward;
    Adjacency m_backward;
};
