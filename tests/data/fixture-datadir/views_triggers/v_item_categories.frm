TYPE=VIEW
query=select `i`.`id` AS `id`,`i`.`name` AS `name`,`c`.`title` AS `category`,`i`.`price` * 2 AS `double_price` from (`views_triggers`.`items` `i` join `views_triggers`.`categories` `c` on(`c`.`id` = `i`.`category_id`))
md5=d3488858b6415aec70808b9ee3074d48
updatable=1
algorithm=0
definer_user=root
definer_host=localhost
suid=2
with_check_option=0
timestamp=0001796996697210247
create-version=2
source=SELECT i.id, i.name, c.title AS category, i.price * 2 AS double_price\n  FROM items i JOIN categories c ON c.id = i.category_id
client_cs_name=utf8mb4
connection_cl_name=utf8mb4_general_ci
view_body_utf8=select `i`.`id` AS `id`,`i`.`name` AS `name`,`c`.`title` AS `category`,`i`.`price` * 2 AS `double_price` from (`views_triggers`.`items` `i` join `views_triggers`.`categories` `c` on(`c`.`id` = `i`.`category_id`))
mariadb-version=101119
