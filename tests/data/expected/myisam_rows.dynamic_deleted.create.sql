CREATE TABLE `dynamic_deleted` (
  `id` int(11) NOT NULL,
  `v` varchar(40) DEFAULT NULL,
  `t` text DEFAULT NULL
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
